// The settings engine on a large file: load, read, set and serialise 1 MiB with 10,000
// sections, against inih (its C parser, and its C++ reader that keeps the entries in a map)
// parsing the same bytes. Every benchmark also reports the minor page faults per iteration.
#include <INIReader.h>
#include <benchmark/benchmark.h>
#include <ini.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <string>

#include "FileEncoding.h"
#include "IniFile.h"

namespace zolv {
namespace {

constexpr int kSections = 10000;

std::string Number(int n) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%05d", n);
  return digits;
}

// About 107 bytes per section, 1.02 MiB in all, the shape of a real settings file.
std::string AnsiFile() {
  std::string text;
  for (int i = 0; i < kSections; ++i) {
    const std::string n = Number(i);
    text += "[Section " + n + "]\r\n";
    text += "Name=Browser " + n + "\r\n";
    text += "Path=C:\\Program Files (x86)\\Vendor\\App" + n + "\\bin\\app.exe\r\n";
    text += "Enabled=1\r\n\r\n";
  }
  return text;
}

const std::string& Bytes(FileEncoding encoding) {
  static const std::string ansi = AnsiFile();
  static const std::string utf8 = EncodeFileText(FileEncoding::Utf8, DecodeFileText(ansi).text);
  static const std::string utf16 = EncodeFileText(FileEncoding::Utf16Le, DecodeFileText(ansi).text);
  switch (encoding) {
    case FileEncoding::Utf8:
      return utf8;
    case FileEncoding::Utf16Le:
    case FileEncoding::Utf16Be:
      return utf16;
    case FileEncoding::Ansi:
      break;
  }
  return ansi;
}

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// Counts the page faults of the timed loop; set up before it, reported after it.
class FaultCounter {
 public:
  explicit FaultCounter(benchmark::State& state) : state_(state), start_(MinorFaults()) {}
  ~FaultCounter() {
    state_.counters["faults"] = benchmark::Counter(static_cast<double>(MinorFaults() - start_),
                                                   benchmark::Counter::kAvgIterations);
  }

 private:
  benchmark::State& state_;
  long start_;
};

void SetBytes(benchmark::State& state, const std::string& bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
}

void Load(benchmark::State& state, FileEncoding encoding) {
  const std::string& bytes = Bytes(encoding);
  {
    FaultCounter faults(state);
    for (auto _ : state)
      benchmark::DoNotOptimize(IniFile::FromBytes(bytes));
  }
  SetBytes(state, bytes);
}
BENCHMARK_CAPTURE(Load, ansi, FileEncoding::Ansi)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, utf8, FileEncoding::Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, utf16le, FileEncoding::Utf16Le)->Unit(benchmark::kMillisecond);

int CountEntry(void* user, const char*, const char*, const char*) {
  ++*static_cast<long*>(user);
  return 1;
}

void InihParse(benchmark::State& state) {
  const std::string& bytes = Bytes(FileEncoding::Ansi);
  {
    FaultCounter faults(state);
    for (auto _ : state) {
      long entries = 0;
      ini_parse_string(bytes.c_str(), CountEntry, &entries);
      benchmark::DoNotOptimize(entries);
    }
  }
  SetBytes(state, bytes);
}
BENCHMARK(InihParse)->Unit(benchmark::kMillisecond);

void InihReader(benchmark::State& state) {
  const std::string& bytes = Bytes(FileEncoding::Ansi);
  {
    FaultCounter faults(state);
    for (auto _ : state) {
      INIReader reader(bytes.data(), bytes.size());
      benchmark::DoNotOptimize(reader.ParseError());
    }
  }
  SetBytes(state, bytes);
}
BENCHMARK(InihReader)->Unit(benchmark::kMillisecond);

// Sections are searched from the last one back, so the first is the slowest to find.
void Read(benchmark::State& state, const char16_t* section) {
  const IniFile ini = IniFile::FromBytes(Bytes(FileEncoding::Ansi));
  FaultCounter faults(state);
  for (auto _ : state)
    benchmark::DoNotOptimize(ini.ReadString(section, u"path", u""));
}
BENCHMARK_CAPTURE(Read, first_section, u"section 00000")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Read, last_section, u"section 09999")->Unit(benchmark::kMicrosecond);

void Set(benchmark::State& state, const char16_t* section) {
  const IniFile loaded = IniFile::FromBytes(Bytes(FileEncoding::Ansi));
  FaultCounter faults(state);
  for (auto _ : state) {
    state.PauseTiming();
    IniFile ini = loaded;
    state.ResumeTiming();
    ini.WriteString(section, u"DefaultBrowser", u"firefox.exe");
    benchmark::DoNotOptimize(ini);
  }
}
BENCHMARK_CAPTURE(Set, existing_section, u"Section 00000")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Set, new_section, u"Misc")->Unit(benchmark::kMicrosecond);

void Serialise(benchmark::State& state) {
  const IniFile ini = IniFile::FromBytes(Bytes(FileEncoding::Ansi));
  {
    FaultCounter faults(state);
    for (auto _ : state)
      benchmark::DoNotOptimize(ini.ToBytes());
  }
  SetBytes(state, Bytes(FileEncoding::Ansi));
}
BENCHMARK(Serialise)->Unit(benchmark::kMillisecond);

// What one SetIni does in memory: load, set, serialise.
void SetCycle(benchmark::State& state) {
  const std::string& bytes = Bytes(FileEncoding::Ansi);
  {
    FaultCounter faults(state);
    for (auto _ : state) {
      IniFile ini = IniFile::FromBytes(bytes);
      ini.WriteString(u"Misc", u"DefaultBrowser", u"firefox.exe");
      benchmark::DoNotOptimize(ini.ToBytes());
    }
  }
  SetBytes(state, bytes);
}
BENCHMARK(SetCycle)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zolv

// glibc serves the ~2 MiB decoded text of each load with mmap and trims the heap after it, so
// every load would fault its pages in afresh (15-25 us each on a virtual machine). Keeping
// large blocks on the heap, untrimmed, makes the comparison measure parsing, not the kernel.
int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
