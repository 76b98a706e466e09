// Property sets and the key table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "data/xml/xml.h"
#include "vocabulary/property_keys.h"
#include "vocabulary/property_set.h"

namespace tavo {
namespace {

PropertySetPtr Create(uint16_t kind) {
  PropertySet* set = nullptr;
  EXPECT_EQ(PropertySet_Create(&set, kind), kPropertySetOk);
  return PropertySetPtr(set);
}

std::string Serialize(const PropertySet* set) {
  char* text = nullptr;
  size_t n = 0;
  EXPECT_EQ(PropertySet_Serialize(set, &text, &n), kPropertySetOk);
  std::string s = text != nullptr ? std::string(text, n) : "<none>";
  if (text != nullptr) {
    EXPECT_EQ(std::strlen(text), n);
  }
  PropertySet_FreeText(text);
  return s;
}

std::string Get(const PropertySet* set, uint32_t key, int instance = 0, uint32_t expect = 0) {
  char buffer[1024];
  std::memset(buffer, 'Q', sizeof(buffer));
  EXPECT_EQ(PropertySet_GetValue(set, key, instance, buffer, sizeof(buffer)), expect)
      << key << "/" << instance;
  return expect == 0 ? std::string(buffer) : std::string("<absent>");
}

// --- The key table ----------------------------------------------------------

TEST(PropertyKeys, Table) {
  EXPECT_STREQ(PropertyKey(0), "");
  EXPECT_STREQ(PropertyKey(1), "REC");
  EXPECT_STREQ(PropertyKey(13), "GEN/DESC");
  EXPECT_STREQ(PropertyKey(24), "GEN_V2");
  EXPECT_STREQ(PropertyKey(36), "ALBCOMP");
  EXPECT_STREQ(PropertyKey(49), "DEVFIELD1");
  EXPECT_STREQ(PropertyKey(52), "DEVFIELD%d");
  EXPECT_STREQ(PropertyKey(54), "PSETMGR");
  EXPECT_STREQ(PropertyKey(56), "P");
  EXPECT_STREQ(PropertyKey(58), "PSET");
  EXPECT_STREQ(PropertyKey(63), "CRIT/POP/VAL");
  EXPECT_STREQ(PropertyKey(71), "MAX/PERALB");
  EXPECT_STREQ(PropertyKey(73), "CORR");
  EXPECT_STREQ(PropertyKey(79), "RELS/W");
  EXPECT_STREQ(PropertyKey(81), "CORRLIST");
  EXPECT_STREQ(PropertyKey(82), "REV");
  EXPECT_STREQ(PropertyKey(83), "TAG");
  EXPECT_STREQ(PropertyKey(87), "");
  EXPECT_STREQ(PropertyKey(88), "");
  int non_empty = 0;
  for (uint32_t i = 0; i < kPropertyKeyCount; ++i) non_empty += PropertyKey(i)[0] != '\0';
  EXPECT_EQ(non_empty, 36 + 4 + 3 + 14 + 7 + 3);
  for (uint32_t i = 37; i <= 48; ++i) EXPECT_STREQ(PropertyKey(i), "") << i;
  for (uint32_t i : {53u, 57u, 72u, 80u, 84u, 85u, 86u}) EXPECT_STREQ(PropertyKey(i), "") << i;
  EXPECT_EQ(kKeyTit, 4u);
  EXPECT_EQ(kKeyGenV2, 24u);
  EXPECT_STREQ(PropertyKey(kKeyDevField3), "DEVFIELD3");
  EXPECT_STREQ(PropertyKey(kKeyCorrListTag), "TAG");
}

TEST(PropertyKeys, BuildPath) {
  char buf[100];
  EXPECT_EQ(PropertyKey_BuildPath(kKeyArt, 2, buf, sizeof(buf)), 4u);
  EXPECT_STREQ(buf, "ART2");
  PropertyKey_BuildPath(kKeyGenDesc, 3, buf, sizeof(buf));
  EXPECT_STREQ(buf, "GEN/DESC3");
  PropertyKey_BuildPath(kKeyArt, 0, buf, sizeof(buf));
  EXPECT_STREQ(buf, "ART");
  PropertyKey_BuildPath(kKeyArt, -5, buf, sizeof(buf));
  EXPECT_STREQ(buf, "ART");
  PropertyKey_BuildPath(kKeyPsetCritSimWin, 2147483647, buf, sizeof(buf));
  EXPECT_STREQ(buf, "CRIT/SIM/WIN2147483647");
  PropertyKey_BuildPath(40, 3, buf, sizeof(buf));  // an empty entry
  EXPECT_STREQ(buf, "3");
  // Cut to the buffer: at most size - 1 bytes.
  EXPECT_EQ(PropertyKey_BuildPath(kKeyPsetCritSimWin, 2147483647, buf, 8), 7u);
  EXPECT_STREQ(buf, "CRIT/SI");
  EXPECT_EQ(PropertyKey_BuildPath(kKeyArt, 12, buf, 5), 4u);
  EXPECT_STREQ(buf, "ART1");
  EXPECT_EQ(PropertyKey_BuildPath(kKeyArt, 12, buf, 1), 0u);
  EXPECT_STREQ(buf, "");
}

// --- The one-line serialized form -------------------------------------------

TEST(PropertySet, SerializedForm) {
  PropertySetPtr set = Create(kPropertySetRec);
  ASSERT_EQ(PropertySet_SetValue(set.get(), kKeyTit, 0, "A & B"), kPropertySetOk);
  ASSERT_EQ(PropertySet_SetValue(set.get(), kKeyGenDesc, 0, "Rock"), kPropertySetOk);
  EXPECT_EQ(Serialize(set.get()),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" ?><REC><TIT>A &amp; B</TIT><GEN><DESC>Rock"
            "</DESC></GEN></REC>");
}

// --- Creation and parsing ---------------------------------------------------

TEST(PropertySet, RootNamesOfTheKinds) {
  const char* names[] = {nullptr, "REC", "PSETMGR", "PSET", "CORRLIST", "CORR"};
  for (uint16_t kind = 1; kind <= 5; ++kind) {
    PropertySetPtr set = Create(kind);
    EXPECT_STREQ(XmlNode_GetName(PropertySet_Root(set.get())), names[kind]);
    EXPECT_EQ(PropertySet_Kind(set.get()), kind);
    EXPECT_EQ(Serialize(set.get()), std::string(kXmlDeclaration) + "<" + names[kind] + "></" +
                                        names[kind] + ">");
  }
}

TEST(PropertySet, KindsOfCreateAndParse) {
  PropertySet* set = reinterpret_cast<PropertySet*>(0x1);
  EXPECT_EQ(PropertySet_Create(&set, 0), kPropertySetInvalidArgument);
  EXPECT_EQ(set, nullptr);
  EXPECT_EQ(PropertySet_Create(&set, 6), kPropertySetInvalidArgument);
  EXPECT_EQ(PropertySet_Create(nullptr, 1), kPropertySetInvalidArgument);
  const char doc[] = "<REC><TIT>x</TIT></REC>";
  ASSERT_EQ(PropertySet_Parse(&set, 0, doc, sizeof(doc) - 1), kPropertySetOk);
  EXPECT_EQ(PropertySet_Kind(set), 0);
  EXPECT_FALSE(PropertySet_KeyAllowed(set, kKeyTit));  // kind 0 accepts no key
  char buf[8];
  EXPECT_EQ(PropertySet_GetValue(set, kKeyTit, 0, buf, sizeof(buf)), kPropertySetInvalidArgument);
  PropertySet_Free(set);
  EXPECT_EQ(PropertySet_Parse(&set, 6, doc, sizeof(doc) - 1), kPropertySetInvalidArgument);
  EXPECT_EQ(PropertySet_Parse(&set, 1, doc, 0), kPropertySetInvalidArgument);
  EXPECT_EQ(PropertySet_Parse(&set, 1, nullptr, 5), kPropertySetInvalidArgument);
  EXPECT_EQ(PropertySet_Parse(nullptr, 1, doc, sizeof(doc) - 1), kPropertySetInvalidArgument);
  // The root's name is not compared with the kind.
  ASSERT_EQ(PropertySet_Parse(&set, kPropertySetCorr, doc, sizeof(doc) - 1), kPropertySetOk);
  EXPECT_STREQ(XmlNode_GetName(PropertySet_Root(set)), "REC");
  PropertySet_Free(set);
  EXPECT_EQ(PropertySet_Free(nullptr), kPropertySetOk);
}

TEST(PropertySet, ParseReturnsParserStatuses) {
  PropertySet* set = reinterpret_cast<PropertySet*>(0x1);
  EXPECT_EQ(PropertySet_Parse(&set, 1, "<REC>", 5), 4u);
  EXPECT_EQ(set, nullptr);
  EXPECT_EQ(PropertySet_Parse(&set, 1, "<REC x='1'/>", 12), 5u);
  EXPECT_EQ(PropertySet_Parse(&set, 1, "<REC></rec>", 11), 3u);
  EXPECT_EQ(PropertySet_Parse(&set, 1, "nothing", 7), 3u);
}

// --- Keys allowed per kind --------------------------------------------------

TEST(PropertySet, KeyBoundsAreExclusive) {
  PropertySetPtr rec = Create(kPropertySetRec);
  EXPECT_EQ(PropertySet_SetValue(rec.get(), 1, 0, "x"), kPropertySetInvalidArgument);
  EXPECT_EQ(PropertySet_SetValue(rec.get(), 53, 0, "x"), kPropertySetInvalidArgument);
  EXPECT_EQ(PropertySet_SetValue(rec.get(), 2, 0, "x"), kPropertySetOk);
  EXPECT_EQ(PropertySet_SetValue(rec.get(), 52, 0, "x"), kPropertySetPathFailed);
  EXPECT_TRUE(PropertySet_KeyAllowed(rec.get(), 52));
  EXPECT_FALSE(PropertySet_KeyAllowed(rec.get(), 0));
  EXPECT_FALSE(PropertySet_KeyAllowed(rec.get(), 1000));
  EXPECT_FALSE(PropertySet_KeyAllowed(nullptr, 5));

  PropertySetPtr corr = Create(kPropertySetCorr);
  for (uint32_t key = 0; key < 100; ++key) {
    EXPECT_EQ(PropertySet_KeyAllowed(corr.get(), key), key >= 74 && key <= 79) << key;
  }
  const uint32_t bounds[6][2] = {{0, 0}, {1, 53}, {54, 57}, {58, 72}, {81, 84}, {73, 80}};
  for (uint16_t kind = 1; kind <= 5; ++kind) {
    PropertySetPtr set = Create(kind);
    for (uint32_t key = 0; key < 100; ++key) {
      EXPECT_EQ(PropertySet_KeyAllowed(set.get(), key),
                key > bounds[kind][0] && key < bounds[kind][1])
          << kind << "/" << key;
    }
  }
}

// --- Setting and getting ----------------------------------------------------

TEST(PropertySet, InstancesShareTheirParents) {
  PropertySetPtr set = Create(kPropertySetRec);
  ASSERT_EQ(PropertySet_SetValue(set.get(), kKeyGenDesc, 0, "Rock"), kPropertySetOk);
  ASSERT_EQ(PropertySet_SetValue(set.get(), kKeyGenDesc, 2, "Pop"), kPropertySetOk);
  ASSERT_EQ(PropertySet_SetValue(set.get(), kKeyArt, 2, "Second"), kPropertySetOk);
  EXPECT_EQ(Serialize(set.get()), std::string(kXmlDeclaration) +
                                      "<REC><GEN><DESC>Rock</DESC><DESC2>Pop</DESC2></GEN>"
                                      "<ART2>Second</ART2></REC>");
  EXPECT_EQ(Get(set.get(), kKeyGenDesc, 2), "Pop");
  EXPECT_EQ(Get(set.get(), kKeyGenDesc, 0), "Rock");
  EXPECT_EQ(Get(set.get(), kKeyGenDesc, -1), "Rock");
  EXPECT_EQ(Get(set.get(), kKeyArt, 2), "Second");
  Get(set.get(), kKeyArt, 0, kPropertySetKeyAbsent);
}

TEST(PropertySet, SettingAgainReplacesInPlace) {
  PropertySetPtr set = Create(kPropertySetRec);
  PropertySet_SetValue(set.get(), kKeyTit, 0, "one");
  PropertySet_SetValue(set.get(), kKeyArt, 0, "artist");
  PropertySet_SetValue(set.get(), kKeyTit, 0, "two");
  EXPECT_EQ(Serialize(set.get()),
            std::string(kXmlDeclaration) + "<REC><TIT>two</TIT><ART>artist</ART></REC>");
}

TEST(PropertySet, EmptyOrMissingValueIsRefused) {
  PropertySetPtr set = Create(kPropertySetRec);
  PropertySet_SetValue(set.get(), kKeyTit, 0, "keep");
  const std::string before = Serialize(set.get());
  EXPECT_EQ(PropertySet_SetValue(set.get(), kKeyTit, 0, ""), kPropertySetInvalidArgument);
  EXPECT_EQ(PropertySet_SetValue(set.get(), kKeyTit, 0, nullptr), kPropertySetInvalidArgument);
  EXPECT_EQ(PropertySet_SetValue(nullptr, kKeyTit, 0, "x"), kPropertySetInvalidArgument);
  EXPECT_EQ(Serialize(set.get()), before);
}

TEST(PropertySet, PatternKeyStoresNothing) {
  PropertySetPtr set = Create(kPropertySetRec);
  EXPECT_EQ(PropertySet_SetValue(set.get(), kKeyDevFieldPattern, 0, "x"), kPropertySetPathFailed);
  EXPECT_EQ(PropertySet_SetValue(set.get(), kKeyDevFieldPattern, 4, "x"), kPropertySetPathFailed);
  EXPECT_EQ(Serialize(set.get()), std::string(kXmlDeclaration) + "<REC></REC>");
}

TEST(PropertySet, EmptyKeyEntries) {
  // Index 40 is an empty entry that a REC set accepts: alone its path is
  // empty (the walk fails), with an instance the path is the number.
  PropertySetPtr set = Create(kPropertySetRec);
  EXPECT_EQ(PropertySet_SetValue(set.get(), 40, 0, "x"), kPropertySetPathFailed);
  EXPECT_EQ(PropertySet_SetValue(set.get(), 40, 3, "x"), kPropertySetOk);
  EXPECT_EQ(Serialize(set.get()), std::string(kXmlDeclaration) + "<REC><3>x</3></REC>");
  EXPECT_EQ(Get(set.get(), 41, 3), "x");  // same path "3"
  // An empty path reads the root's own text.
  Get(set.get(), 40, 0, kPropertySetKeyAbsent);
  PropertySet* parsed = nullptr;
  ASSERT_EQ(PropertySet_Parse(&parsed, 1, "<REC>own</REC>", 14), kPropertySetOk);
  EXPECT_EQ(Get(parsed, 40, 0), "own");
  PropertySet_Free(parsed);
}

TEST(PropertySet, GetCutsToTheBuffer) {
  PropertySetPtr set = Create(kPropertySetRec);
  const std::string forty = "0123456789012345678901234567890123456789";
  ASSERT_EQ(PropertySet_SetValue(set.get(), kKeyLabel, 0, forty.c_str()), kPropertySetOk);
  char small[8];
  std::memset(small, 'Q', sizeof(small));
  ASSERT_EQ(PropertySet_GetValue(set.get(), kKeyLabel, 0, small, sizeof(small)), kPropertySetOk);
  EXPECT_EQ(std::string(small, 8), std::string("0123456\0", 8));
  char one[1] = {'Q'};
  ASSERT_EQ(PropertySet_GetValue(set.get(), kKeyLabel, 0, one, 1), kPropertySetOk);
  EXPECT_EQ(one[0], '\0');
  EXPECT_EQ(PropertySet_GetValue(set.get(), kKeyLabel, 0, one, 0), kPropertySetInvalidArgument);
  EXPECT_EQ(PropertySet_GetValue(set.get(), kKeyLabel, 0, nullptr, 8), kPropertySetInvalidArgument);
  EXPECT_EQ(PropertySet_GetValue(nullptr, kKeyLabel, 0, small, 8), kPropertySetInvalidArgument);
  // A value that fits exactly.
  char exact[41];
  ASSERT_EQ(PropertySet_GetValue(set.get(), kKeyLabel, 0, exact, sizeof(exact)), kPropertySetOk);
  EXPECT_EQ(std::string(exact), forty);
}

TEST(PropertySet, GetWithNoTextIsAbsent) {
  PropertySetPtr set = Create(kPropertySetRec);
  PropertySet_SetValue(set.get(), kKeyGenDesc, 0, "Rock");
  Get(set.get(), kKeyTit, 0, kPropertySetKeyAbsent);
  PropertySet* parsed = nullptr;
  const char doc[] = "<REC><GEN></GEN><TIT/></REC>";
  ASSERT_EQ(PropertySet_Parse(&parsed, 1, doc, sizeof(doc) - 1), kPropertySetOk);
  Get(parsed, kKeyTit, 0, kPropertySetKeyAbsent);
  Get(parsed, kKeyGenDesc, 0, kPropertySetKeyAbsent);
  PropertySet_Free(parsed);
}

TEST(PropertySet, PeekValue) {
  PropertySetPtr set = Create(kPropertySetRec);
  PropertySet_SetValue(set.get(), kKeyTit, 0, "t");
  EXPECT_STREQ(PropertySet_PeekValue(set.get(), kKeyTit, 0), "t");
  EXPECT_EQ(PropertySet_PeekValue(set.get(), kKeyArt, 0), nullptr);
  EXPECT_EQ(PropertySet_PeekValue(set.get(), 1, 0), nullptr);  // not allowed
  EXPECT_EQ(PropertySet_PeekValue(nullptr, kKeyTit, 0), nullptr);
}

TEST(PropertySet, EditingAParsedSet) {
  PropertySet* set = nullptr;
  const char doc[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?><REC><TIT>old</TIT></REC>";
  ASSERT_EQ(PropertySet_Parse(&set, 1, doc, sizeof(doc) - 1), kPropertySetOk);
  ASSERT_EQ(PropertySet_SetValue(set, kKeyTit, 0, "new"), kPropertySetOk);
  ASSERT_EQ(PropertySet_SetValue(set, kKeyGenDesc, 0, "Jazz"), kPropertySetOk);
  EXPECT_EQ(Serialize(set), std::string(kXmlDeclaration) +
                                "<REC><TIT>new</TIT><GEN><DESC>Jazz</DESC></GEN></REC>");
  PropertySet_Free(set);
}

// --- Round trips ------------------------------------------------------------

TEST(PropertySet, SerializeAndParseKeepEveryValue) {
  for (uint16_t kind = 1; kind <= 5; ++kind) {
    PropertySetPtr set = Create(kind);
    for (uint32_t key = 0; key < kPropertyKeyCount; ++key) {
      if (!PropertySet_KeyAllowed(set.get(), key)) continue;
      for (int instance = 0; instance <= 2; ++instance) {
        const std::string value = "v<" + std::to_string(key) + "&'\"" + std::to_string(instance) +
                                  " \xC3\xA9";
        PropertySet_SetValue(set.get(), key, instance, value.c_str());
      }
    }
    char* text = nullptr;
    size_t n = 0;
    ASSERT_EQ(PropertySet_Serialize(set.get(), &text, &n), kPropertySetOk);
    EXPECT_EQ(std::strchr(text, '\n'), nullptr);
    PropertySet* parsed = nullptr;
    ASSERT_EQ(PropertySet_Parse(&parsed, kind, text, n), kPropertySetOk);
    PropertySet_FreeText(text);
    int compared = 0;
    for (uint32_t key = 0; key < kPropertyKeyCount; ++key) {
      if (!PropertySet_KeyAllowed(set.get(), key)) continue;
      for (int instance = 0; instance <= 2; ++instance) {
        char a[1024], b[1024];
        const uint32_t ra = PropertySet_GetValue(set.get(), key, instance, a, sizeof(a));
        const uint32_t rb = PropertySet_GetValue(parsed, key, instance, b, sizeof(b));
        EXPECT_EQ(ra, rb) << kind << "/" << key << "/" << instance;
        if (ra == 0 && rb == 0) {
          EXPECT_STREQ(a, b);
          ++compared;
        }
      }
    }
    EXPECT_GT(compared, 0);
    PropertySet_Free(parsed);
  }
}

TEST(PropertySet, SerializeArguments) {
  PropertySetPtr set = Create(kPropertySetRec);
  char* text = nullptr;
  EXPECT_EQ(PropertySet_Serialize(nullptr, &text, nullptr), kPropertySetInvalidArgument);
  EXPECT_EQ(PropertySet_Serialize(set.get(), nullptr, nullptr), kPropertySetInvalidArgument);
  ASSERT_EQ(PropertySet_Serialize(set.get(), &text, nullptr), kPropertySetOk);
  PropertySet_FreeText(text);
  PropertySet_FreeText(nullptr);
}

// --- Out of memory ----------------------------------------------------------

TEST(PropertySet, OutOfMemory) {
  PropertySet* set = reinterpret_cast<PropertySet*>(0x1);
  XmlTesting_FailAllocationAfter(1);  // the root
  EXPECT_EQ(PropertySet_Create(&set, 1), kPropertySetOutOfMemory);
  EXPECT_EQ(set, nullptr);
  XmlTesting_FailAllocationAfter(2);  // the set record; the root is freed again
  EXPECT_EQ(PropertySet_Create(&set, 1), kPropertySetOutOfMemory);
  XmlTesting_FailAllocationAfter(1);
  EXPECT_EQ(PropertySet_Parse(&set, 1, "<REC/>", 6), 2u);
  XmlTesting_FailAllocationAfter(0);

  PropertySetPtr ok = Create(kPropertySetRec);
  XmlTesting_FailAllocationAfter(2);  // GEN made, DESC not
  EXPECT_EQ(PropertySet_SetValue(ok.get(), kKeyGenDesc, 0, "x"), kPropertySetPathFailed);
  XmlTesting_FailAllocationAfter(0);
  EXPECT_EQ(Serialize(ok.get()), std::string(kXmlDeclaration) + "<REC><GEN></GEN></REC>");
  XmlTesting_FailAllocationAfter(1);
  char* text = nullptr;
  EXPECT_EQ(PropertySet_Serialize(ok.get(), &text, nullptr), kPropertySetNoText);
  XmlTesting_FailAllocationAfter(0);
}

}  // namespace
}  // namespace tavo
