// The one way to the correlates store of an open library. The store is not
// thread safe, and the database copies of the lists, the correlates download
// and the similarity reads of playlist runs all use it, so every use goes
// through a CorrelatesGate::Hold, which keeps the store to itself until it
// is destroyed. Keep a hold short: other threads wait for it.
#ifndef TAVO_MANAGER_LIBRARY_CORRELATES_GATE_H_
#define TAVO_MANAGER_LIBRARY_CORRELATES_GATE_H_

#include <mutex>

#include "storage/library/correlates_store.h"

namespace tavo {

class CorrelatesGate {
 public:
  explicit CorrelatesGate(CorrelatesStore* store) : store_(store) {}
  CorrelatesGate(const CorrelatesGate&) = delete;
  CorrelatesGate& operator=(const CorrelatesGate&) = delete;

  class Hold {
   public:
    explicit Hold(CorrelatesGate& gate) : lock_(gate.mutex_), store_(gate.store_) {}
    CorrelatesStore* operator->() const { return store_; }
    CorrelatesStore& operator*() const { return *store_; }

   private:
    std::unique_lock<std::mutex> lock_;
    CorrelatesStore* store_;
  };

 private:
  std::mutex mutex_;
  CorrelatesStore* const store_;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_CORRELATES_GATE_H_
