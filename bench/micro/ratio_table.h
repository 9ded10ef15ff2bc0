#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tallwick_bench {

// One line of the closing table: a figure and its baseline, named by their
// benchmark functions.
struct RatioRow {
  std::string label;
  std::string measured;
  std::string baseline;
};

// The closing table: its title, the names of its two time columns and its rows.
struct RatioTable {
  std::string title;
  std::string measuredColumn;
  std::string baselineColumn;
  std::vector<RatioRow> rows;
};

// Google Benchmark's console table, then at the end one line per row with
// both wall times per iteration (ms) and their ratio, all from this run. A
// benchmark's time is the median of its repetitions (the "median"
// aggregate when only aggregates are reported); a row whose benchmark did
// not run, or failed, says so.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(RatioTable table);

  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  std::optional<double> TimeMs(const std::string& function) const;

  RatioTable table_;
  std::map<std::string, std::vector<double>> repetitionsMs_;
  std::map<std::string, double> medianAggregateMs_;
};

}  // namespace tallwick_bench
