// Ends what description_table_begin.h started.
#pragma pop_macro("TAVO_FORWARD")
#pragma pop_macro("TAVO_INTERFACE")
#pragma pop_macro("TAVO_DISPINTERFACE")
