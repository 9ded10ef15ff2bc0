#include "micro/ratio_table.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ostream>
#include <utility>

namespace tallwick_bench {

namespace {

double WallMs(const benchmark::BenchmarkReporter::Run& run) {
  return run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1000.0;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

std::string Cell(const std::optional<double>& value) {
  if (!value) return "-";
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.3f", *value);
  return text.data();
}

std::string Line(const std::string& label, const std::string& measured, const std::string& baseline,
                 const std::string& ratio) {
  std::array<char, 256> line{};
  std::snprintf(line.data(), line.size(), "%-44s %14s %14s %8s\n", label.c_str(), measured.c_str(), baseline.c_str(),
                ratio.c_str());
  return line.data();
}

}  // namespace

RatioReporter::RatioReporter(RatioTable table) : ConsoleReporter(OO_Tabular), table_(std::move(table)) {}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.error_occurred) continue;
    const std::string& function = run.run_name.function_name;
    if (run.run_type == Run::RT_Iteration) {
      repetitionsMs_[function].push_back(WallMs(run));
    } else if (run.aggregate_name == "median") {
      medianAggregateMs_[function] = WallMs(run);
    }
  }
}

std::optional<double> RatioReporter::TimeMs(const std::string& function) const {
  const auto repetitions = repetitionsMs_.find(function);
  if (repetitions != repetitionsMs_.end()) return Median(repetitions->second);
  const auto median = medianAggregateMs_.find(function);
  if (median != medianAggregateMs_.end()) return median->second;
  return std::nullopt;
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::ostream& out = GetOutputStream();
  out << "\n" << table_.title << "\n" << Line("", table_.measuredColumn, table_.baselineColumn, "ratio");
  for (const RatioRow& row : table_.rows) {
    const auto measured = TimeMs(row.measured);
    const auto baseline = TimeMs(row.baseline);
    const std::optional<double> ratio =
        measured && baseline && *baseline > 0 ? std::optional<double>(*measured / *baseline) : std::nullopt;
    out << Line(row.label, Cell(measured), Cell(baseline), Cell(ratio));
  }
}

}  // namespace tallwick_bench
