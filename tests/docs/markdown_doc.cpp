#include "docs/markdown_doc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace docs_test {

namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// "| a | b |" as {"a", "b"}.
std::vector<std::string> Cells(const std::string& line) {
  std::string inner = Trimmed(line);
  if (StartsWith(inner, "|")) inner.erase(0, 1);
  if (!inner.empty() && inner.back() == '|') inner.pop_back();
  std::vector<std::string> cells;
  std::stringstream stream(inner);
  std::string cell;
  while (std::getline(stream, cell, '|')) cells.push_back(Trimmed(cell));
  return cells;
}

bool IsTableLine(const std::string& line) { return StartsWith(Trimmed(line), "|"); }

}  // namespace

std::string ReadSourceFile(const std::string& relative) {
  const std::string path = std::string(TALLWICK_SOURCE_DIR) + "/" + relative;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    ADD_FAILURE() << "cannot read " << path;
    return "";
  }
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> SourceFilesIn(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(TALLWICK_SOURCE_DIR) + "/" + folder)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".cpp" || extension == ".h") files.push_back(folder + "/" + entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> DeclaredConstants(const std::string& headerText, const std::string& prefix) {
  const std::regex declaration("\\b(" + prefix + "[A-Za-z0-9_]*)\\s*=[^=]");
  const std::string code = WithoutComments(headerText);
  std::vector<std::string> names;
  for (std::sregex_iterator it(code.begin(), code.end(), declaration), end; it != end; ++it) {
    names.push_back((*it)[1]);
  }
  return names;
}

std::string WithoutComments(const std::string& source) {
  std::string out;
  out.reserve(source.size());
  char quote = 0;  // inside a string or character literal of this quote
  for (size_t i = 0; i < source.size(); ++i) {
    const char c = source[i];
    const char next = i + 1 < source.size() ? source[i + 1] : '\0';
    if (quote != 0) {
      out += c;
      if (c == '\\' && next != '\0') {
        out += next;
        ++i;
      } else if (c == quote) {
        quote = 0;
      }
    } else if (c == '/' && next == '/') {
      i = source.find('\n', i);
      if (i == std::string::npos) break;
      out += '\n';
    } else if (c == '/' && next == '*') {
      i = source.find("*/", i + 2);
      if (i == std::string::npos) break;
      ++i;
      out += ' ';
    } else {
      if (c == '"' || c == '\'') quote = c;
      out += c;
    }
  }
  return out;
}

MarkdownDoc::MarkdownDoc(const std::string& text) {
  std::stringstream stream(text);
  std::string line;
  bool fenced = false;
  std::string info;
  while (std::getline(stream, line)) {
    if (StartsWith(Trimmed(line), "```")) {
      fenced = !fenced;
      info = fenced ? Trimmed(Trimmed(line).substr(3)) : "";
      continue;
    }
    lines_.push_back({line, fenced, info});
    if (!fenced) prose_.push_back(line);
  }
}

std::vector<std::string> MarkdownDoc::CodeSpans() const {
  std::vector<std::string> spans;
  for (const std::string& line : prose_) {
    for (std::string& span : CodeSpansIn(line)) spans.push_back(std::move(span));
  }
  return spans;
}

std::vector<std::vector<std::string>> MarkdownDoc::FencedBlocks(const std::string& info) const {
  std::vector<std::vector<std::string>> blocks;
  bool inBlock = false;
  for (const Line& line : lines_) {
    const bool wanted = line.fenced && line.info == info;
    if (wanted && !inBlock) blocks.emplace_back();
    if (wanted) blocks.back().push_back(line.text);
    inBlock = wanted;
  }
  return blocks;
}

TableRows MarkdownDoc::Table(const std::vector<std::string>& header) const {
  for (size_t i = 0; i + 1 < prose_.size(); ++i) {
    if (!IsTableLine(prose_[i])) continue;
    const std::vector<std::string> cells = Cells(prose_[i]);
    if (cells.size() < header.size() || !std::equal(header.begin(), header.end(), cells.begin())) continue;
    TableRows rows;
    for (size_t row = i + 2; row < prose_.size() && IsTableLine(prose_[row]); ++row) rows.push_back(Cells(prose_[row]));
    return rows;
  }
  std::string wanted;
  for (const std::string& cell : header) wanted += "| " + cell + " ";
  ADD_FAILURE() << "no table with the header " << wanted << "|";
  return {};
}

std::vector<std::string> MarkdownDoc::SubHeadings(const std::string& section) const {
  std::vector<std::string> headings;
  bool inside = false;
  for (const std::string& line : prose_) {
    if (StartsWith(line, "## ")) {
      inside = Trimmed(line.substr(3)) == section;
    } else if (inside && StartsWith(line, "### ")) {
      headings.push_back(Trimmed(line.substr(4)));
    }
  }
  return headings;
}

std::vector<std::string> CodeSpansIn(const std::string& line) {
  std::vector<std::string> spans;
  size_t open = line.find('`');
  while (open != std::string::npos) {
    const size_t close = line.find('`', open + 1);
    if (close == std::string::npos) break;
    spans.push_back(line.substr(open + 1, close - open - 1));
    open = line.find('`', close + 1);
  }
  return spans;
}

std::string Unwrapped(const std::string& cell, char mark) {
  if (cell.size() >= 2 && cell.front() == mark && cell.back() == mark) return cell.substr(1, cell.size() - 2);
  return cell;
}

std::string Missing(const std::set<std::string>& wanted, const std::set<std::string>& present) {
  std::string missing;
  for (const std::string& item : wanted) {
    if (present.count(item) == 0) missing += (missing.empty() ? "" : ", ") + item;
  }
  return missing;
}

}  // namespace docs_test
