// BrowserListBench: the time ReadFromSystem takes on the real registry with 1,000 browser keys
// (and with the three of a usual machine). The machine's browser list is set aside meanwhile
// and put back. Prints its row of the results table (Markdown) for scripts/bench.sh.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchStats.h"
#include "WebBrowsers.h"
#include "platform/win32/system/UniqueHandle.h"

namespace {

using zolv::cBrowsersRootKey;
using zolv::bench::Median;
using zolv::win32::UniqueRegKey;

const std::wstring kRoot(cBrowsersRootKey,
                         cBrowsersRootKey + std::char_traits<char16_t>::length(cBrowsersRootKey));
const std::wstring kAside = kRoot + L".zolv-bench-aside";

bool CopyTree(const std::wstring& from, const std::wstring& to) {
  UniqueRegKey source, target;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, from.c_str(), 0, KEY_READ, source.put()) ==
             ERROR_SUCCESS &&
         RegCreateKeyExW(HKEY_LOCAL_MACHINE, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                         target.put(), nullptr) == ERROR_SUCCESS &&
         RegCopyTreeW(source.get(), nullptr, target.get()) == ERROR_SUCCESS;
}

bool AddBrowsers(int count) {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kRoot.c_str());
  for (int i = 0; i < count; ++i) {
    const std::wstring name = L"Browser " + std::to_wstring(10000 + i);
    const std::wstring display = L"Web Browser " + std::to_wstring(i);
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kRoot + L"\\" + name).c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS ||
        RegSetValueExW(key.get(), nullptr, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(display.c_str()),
                       static_cast<DWORD>((display.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
      return false;
  }
  return true;
}

// Milliseconds per ReadFromSystem, `reads` times; false when the list is not what was added.
bool Measure(int count, int reads, std::vector<double>& samples) {
  zolv::TWebBrowsers list(true);
  for (int i = 0; i < reads; ++i) {
    const auto start = std::chrono::steady_clock::now();
    list.ReadFromSystem();
    samples.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    if (list.Count() != count)
      return false;
  }
  return true;
}

}  // namespace

int main() {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAside.c_str());
  const bool hadList = CopyTree(kRoot, kAside);
  int status = 0;
  std::vector<double> medians;
  for (const int count : {1000, 3}) {
    std::vector<double> samples;
    if (!AddBrowsers(count) || !Measure(count, 21, samples)) {
      std::fprintf(stderr, "the browser list of %d keys was not read back\n", count);
      status = 1;
      break;
    }
    medians.push_back(Median(samples));
  }
  if (status == 0)
    std::printf(
        "| Browser list: ReadFromSystem, 1,000 keys / 3 keys, median | %.1f / %.2f ms |"
        " | | | |\n",
        medians[0], medians[1]);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kRoot.c_str());
  if (hadList && !CopyTree(kAside, kRoot))
    status = 1;
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAside.c_str());
  return status;
}
