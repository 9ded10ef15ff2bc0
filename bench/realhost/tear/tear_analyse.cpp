// tear-analyse: reads pictures of frame-publisher's "palette" streams back
// from PNG files (screenshots of the shell, pphost snapshots) and says, per
// picture, whether it shows one whole frame or mixes frames.
//
// The job (a JSON file) lists the pictures: per picture its PNG, the element
// it belongs to and the regions of that element showing one stream each
// (the speaker: one; a gallery: one per tile), in the PNG's pixels:
//
//   {"pictures": [{"png": "a.png", "element": "speaker",
//                  "tiles": [{"name": "u1", "rect": [x, y, w, h], "gap": 6}]}, ...]}
//
// Each region, less a margin at its edges, is read row by row; one that
// shows anything is then checked to be where the layout put it, with
// background around it in the middle of its "gap" (picture_match.h). A
// picture is torn when any of its regions is; it is empty (not sampled)
// when none of its regions shows a palette colour, and misplaced (not
// sampled either) when a region is not where it belongs, as while a host
// stretches a picture of an older size over a resized element.
// Prints one JSON object: the counts, per element and in all, the largest
// distance of a plane value from its palette value in whole regions, and
// examples.
//
// A host that draws slower than the samples come shows the same picture in
// several samples running; "distinct" counts a picture only when it reads
// differently from the same element's sample before (the job's order is
// taken as the order of the samples). Two different frames of one palette
// entry read the same, so this is a lower bound.
#include <png.h>

#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "publisher/pattern.h"
#include "realhost/tear/picture_match.h"
#include "support/guarded_main.h"

namespace {

using tallwick_tear::Image;
using tallwick_tear::PaletteReader;
using tallwick_tear::Rect;
using tallwick_tear::RegionReading;
using tallwick_tear::Verdict;

struct Options {
  std::string job;
  std::string details;
  double tolerance = 5.0;
  double flatness = 6.0;
  int margin = 2;
  size_t examples = 3;
};

// Empty with the reason in `error` when the file cannot be read.
std::optional<Image> ReadPng(const std::string& path, std::string* error) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
    *error = png.message;
    return std::nullopt;
  }
  png.format = PNG_FORMAT_RGBA;
  Image image;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.rgba.resize(PNG_IMAGE_SIZE(png));
  if (png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr) == 0) {
    *error = png.message;
    png_image_free(&png);
    return std::nullopt;
  }
  return image;
}

Rect Inset(const nlohmann::json& rect, int margin) {
  const auto at = [&](size_t i) { return static_cast<int>(rect.at(i).get<double>()); };
  return {at(0) + margin, at(1) + margin, at(2) - 2 * margin, at(3) - 2 * margin};
}

struct Counts {
  int sampled = 0;
  int whole = 0;
  int torn = 0;
  int unreadable = 0;
  int empty = 0;
  int misplaced = 0;

  void Add(Verdict verdict) {
    switch (verdict) {
      case Verdict::kEmpty:
        ++empty;
        return;
      case Verdict::kMisplaced:
        ++misplaced;
        return;
      case Verdict::kWhole:
        ++whole;
        break;
      case Verdict::kTorn:
        ++torn;
        break;
      case Verdict::kUnreadable:
        ++unreadable;
        break;
    }
    ++sampled;
  }

  nlohmann::ordered_json Json() const {
    return {{"sampled", sampled},       {"whole", whole}, {"torn", torn},
            {"unreadable", unreadable}, {"empty", empty}, {"misplaced", misplaced}};
  }
};

// A picture's verdict from its regions': misplaced before torn before
// unreadable before whole; empty only when every region is.
Verdict PictureVerdict(const std::vector<RegionReading>& regions) {
  bool any = false;
  bool unreadable = false;
  for (const RegionReading& region : regions) {
    if (region.verdict == Verdict::kMisplaced) return Verdict::kMisplaced;
  }
  for (const RegionReading& region : regions) {
    if (region.verdict == Verdict::kTorn) return Verdict::kTorn;
    if (region.verdict == Verdict::kUnreadable) unreadable = true;
    if (region.verdict != Verdict::kEmpty) any = true;
  }
  if (!any) return Verdict::kEmpty;
  return unreadable ? Verdict::kUnreadable : Verdict::kWhole;
}

int Run(const Options& options) {
  std::vector<tallwick_tear::Yuv> palette;
  palette.reserve(tallwick::publisher::kFramePalette.size());
  for (const auto& entry : tallwick::publisher::kFramePalette)
    palette.push_back({1.0 * entry.y, 1.0 * entry.u, 1.0 * entry.v});
  const PaletteReader reader(palette, options.tolerance, options.flatness);
  std::string problem = tallwick_tear::CheckShaderCoefficients();
  if (problem.empty()) problem = reader.CheckPalette();
  if (!problem.empty()) {
    std::cerr << "tear-analyse: " << problem << "\n";
    return 1;
  }

  std::ifstream in(options.job);
  const nlohmann::json job = nlohmann::json::parse(in, nullptr, false);
  if (job.is_discarded() || !job.contains("pictures") || !job["pictures"].is_array()) {
    std::cerr << "tear-analyse: " << options.job << " is not a job (a JSON object with a \"pictures\" list)\n";
    return 2;
  }
  std::ofstream details;
  if (!options.details.empty()) details.open(options.details);

  Counts all;
  Counts tiles;
  std::map<std::string, Counts> byElement;
  Counts distinct;
  std::map<std::string, std::string> lastReading;  // per element
  std::array<double, tallwick_tear::kPlanes> largest{};
  nlohmann::ordered_json examples = {{"torn", nlohmann::json::array()}, {"unreadable", nlohmann::json::array()}};
  nlohmann::json unreadableFiles = nlohmann::json::array();
  std::string loadedPath;
  std::optional<Image> image;
  for (const nlohmann::json& picture : job["pictures"]) {
    const std::string path = picture.at("png").get<std::string>();
    const std::string element = picture.at("element").get<std::string>();
    if (path != loadedPath) {
      std::string error;
      image = ReadPng(path, &error);
      loadedPath = path;
      if (!image) unreadableFiles.push_back({{"png", path}, {"error", error}});
    }
    if (!image) continue;
    std::vector<RegionReading> regions;
    nlohmann::ordered_json line = {{"png", path}, {"element", element}};
    std::string texts;
    std::string reading;
    for (const nlohmann::json& tile : picture.at("tiles")) {
      const std::string name = tile.at("name").get<std::string>();
      regions.push_back(reader.Read(*image, Inset(tile.at("rect"), options.margin)));
      if (regions.back().verdict != Verdict::kEmpty &&
          !tallwick_tear::Placed(*image, Inset(tile.at("rect"), 0), tile.value("gap", 0))) {
        regions.back() = {};
        regions.back().verdict = Verdict::kMisplaced;
      }
      const RegionReading& region = regions.back();
      tiles.Add(region.verdict);
      reading += name + " " + VerdictName(region.verdict) + " " + std::to_string(region.entry) + " " +
                 region.description + "\n";
      // What the way back through the screen costs, from whole regions
      // only: rows at a tear's edge blend two frames and say nothing of it.
      for (size_t plane = 0; region.verdict == Verdict::kWhole && plane < largest.size(); ++plane) {
        largest[plane] = std::max(largest[plane], region.largestDistance[plane]);
      }
      line["tiles"][name] = {{"verdict", VerdictName(region.verdict)},
                             {"entry", region.entry},
                             {"rows", region.rows},
                             {"matched_rows", region.matchedRows},
                             {"largest_distance", region.largestDistance}};
      if (!region.description.empty()) {
        line["tiles"][name]["text"] = region.description;
        if (!texts.empty()) texts += "; ";
        texts += element;
        if (picture.at("tiles").size() > 1) texts += " tile " + name;
        texts += ": " + region.description;
      }
    }
    const Verdict verdict = PictureVerdict(regions);
    all.Add(verdict);
    byElement[element].Add(verdict);
    const bool isDistinct = lastReading[element] != reading;
    if (isDistinct) distinct.Add(verdict);
    lastReading[element] = reading;
    line["verdict"] = VerdictName(verdict);
    if (details.is_open()) details << line.dump() << "\n";
    if (isDistinct && (verdict == Verdict::kTorn || verdict == Verdict::kUnreadable)) {
      nlohmann::ordered_json& list = examples[VerdictName(verdict)];
      if (list.size() < options.examples) list.push_back({{"png", path}, {"text", texts}});
    }
  }

  nlohmann::ordered_json out = {{"pictures", all.Json()}, {"elements", nlohmann::json::object()}};
  for (const auto& [name, counts] : byElement) out["elements"][name] = counts.Json();
  out["distinct"] = distinct.Json();
  out["tiles"] = tiles.Json();
  out["largest_distance"] = {{"y", largest[0]}, {"u", largest[1]}, {"v", largest[2]}};
  out["tolerance"] = options.tolerance;
  out["examples"] = examples;
  out["unreadable_files"] = unreadableFiles;
  std::cout << out.dump() << "\n";
  return unreadableFiles.empty() ? 0 : 1;
}

int Main(int argc, char** argv) {
  Options options;
  CLI::App app{
      "Reads pictures of frame-publisher's palette streams back from PNG files and counts those that show one\n"
      "whole frame and those that mix frames (torn). Prints one JSON object."};
  app.add_option("job", options.job, "the job: a JSON file listing the pictures and their regions")
      ->required()
      ->check(CLI::ExistingFile);
  app.add_option("--details", options.details, "write one JSON line per picture to this file");
  app.add_option("--tolerance", options.tolerance, "how far (plane levels) a value may lie from its palette value")
      ->capture_default_str()
      ->check(CLI::Range(0.5, 6.5));
  app.add_option("--flatness", options.flatness, "how far (RGB levels) a pixel may lie from its row's mean")
      ->capture_default_str()
      ->check(CLI::Range(0.0, 64.0));
  app.add_option("--margin", options.margin, "pixels left out at each edge of a region")
      ->capture_default_str()
      ->check(CLI::Range(0, 64));
  app.add_option("--examples", options.examples, "examples of torn and unreadable pictures to give (distinct ones)")
      ->capture_default_str();
  CLI11_PARSE(app, argc, argv);
  return Run(options);
}

}  // namespace

int main(int argc, char** argv) { return tallwick_bench::GuardedMain("tear-analyse", Main, argc, argv, 2); }
