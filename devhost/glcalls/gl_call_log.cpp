#include "devhost/glcalls/gl_call_log.h"

#include <fstream>
#include <iostream>
#include <utility>

namespace pphost {

namespace {

// The lines of the record at `path`, or false with `error` set.
bool ReadRecord(const std::string& path, std::vector<Json>& lines, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read the GL answers \"" + path + "\"";
    return false;
  }
  std::string text;
  for (size_t number = 1; std::getline(in, text); ++number) {
    Json line = Json::parse(text, nullptr, false);
    if (!line.is_object()) {
      error = path + ":" + std::to_string(number) + ": not a JSON object";
      return false;
    }
    lines.push_back(std::move(line));
  }
  return true;
}

}  // namespace

GlCallLog::GlCallLog(std::unique_ptr<std::ostream> record, std::vector<Json> answers, bool answering)
    : record_(std::move(record)), answers_(std::move(answers)), answering_(answering) {}

GlCallLog::~GlCallLog() { record_->flush(); }

std::unique_ptr<GlCallLog> GlCallLog::Open(const std::string& recordPath, const std::string& answersPath,
                                           std::string& error) {
  std::vector<Json> answers;
  if (!answersPath.empty() && !ReadRecord(answersPath, answers, error)) return nullptr;
  // Binary: lines end in "\n" alone on every platform, so records compare.
  auto record = std::make_unique<std::ofstream>(recordPath, std::ios::trunc | std::ios::binary);
  if (!*record) {
    error = "cannot write the GL call record \"" + recordPath + "\"";
    return nullptr;
  }
  return std::make_unique<GlCallLog>(std::move(record), std::move(answers), !answersPath.empty());
}

Json& GlCallLog::Begin(const char* name, PP_Resource context) {
  line_ = Json{{"call", name}, {"context", context}, {"args", Json::array()}};
  return line_["args"];
}

const Json* GlCallLog::Answer() {
  const Json* line = calls_ < answers_.size() ? &answers_[calls_] : nullptr;
  if (line != nullptr && line->value("call", "") == line_["call"]) return line;
  if (!mismatchTold_) {
    mismatchTold_ = true;
    const std::string number = std::to_string(calls_ + 1);
    std::cerr << "pphost: GL call " << number << " is " << line_["call"].get<std::string>() << ", but "
              << (line != nullptr ? "line " + number + " of the GL answers is " + line->value("call", "?")
                                  : "the GL answers end at line " + std::to_string(answers_.size()))
              << "; such calls are answered with nothing\n";
  }
  return nullptr;
}

void GlCallLog::End() {
  *record_ << DumpLine(line_) << '\n';
  ++calls_;
}

const char* GlCallLog::Keep(const std::string& text) {
  std::unique_ptr<std::string>& kept = kept_[text];
  if (kept == nullptr) kept = std::make_unique<std::string>(text);
  return kept->c_str();
}

}  // namespace pphost
