// The line store against a plain vector of strings: any sequence of appends, replaces, reads and
// clears must leave the same lines, whichever way the store keeps them (packed in chunks, or one
// string a line once a line has been replaced).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/LineStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  quelvar::platform::LineStore store;
  std::vector<std::string> oracle;
  while (in.remaining_bytes() > 0) {
    switch (in.ConsumeIntegralInRange(0, 9)) {
      case 0:
        store.Clear();
        oracle.clear();
        break;
      case 1:
      case 2: {
        if (oracle.empty()) break;
        const size_t j = in.ConsumeIntegralInRange<size_t>(0, oracle.size() - 1);
        const std::string line = in.ConsumeRandomLengthString(64);
        store.Replace(j, line);
        oracle[j] = line;
        break;
      }
      case 3: {
        // A long line, longer than a chunk when the fuzzer asks for one.
        const std::string line(in.ConsumeIntegralInRange<size_t>(0, 9000), 'L');
        store.Append(line);
        oracle.push_back(line);
        break;
      }
      default: {
        const std::string line = in.ConsumeRandomLengthString(64);
        store.Append(line);
        oracle.push_back(line);
        break;
      }
    }
    if (store.Count() != oracle.size()) std::abort();
    if (!oracle.empty()) {
      const size_t j = in.ConsumeIntegralInRange<size_t>(0, oracle.size() - 1);
      if (store.Line(j) != oracle[j]) std::abort();
    }
  }
  for (size_t j = 0; j < oracle.size(); ++j) {
    if (store.Line(j) != oracle[j]) std::abort();
  }
  return 0;
}
