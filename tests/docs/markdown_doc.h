#pragma once

#include <set>
#include <string>
#include <vector>

namespace docs_test {

// The text of a file of the source tree (`relative` to its root); empty, with
// a test failure, when it cannot be read.
std::string ReadSourceFile(const std::string& relative);

// The C++ files (.cpp, .h) of a folder of the source tree, relative to its
// root, sorted.
std::vector<std::string> SourceFilesIn(const std::string& folder);

// Names declared in a header as `kName = ...` (constants and enumerators)
// whose name starts with `prefix`, in order of appearance.
std::vector<std::string> DeclaredConstants(const std::string& headerText, const std::string& prefix);

// The text with its C++ comments removed (string literals are kept intact).
std::string WithoutComments(const std::string& source);

// A table of a markdown document: its rows below the header, each as its
// cells with the blanks around them removed.
using TableRows = std::vector<std::vector<std::string>>;

// A markdown document as our reference documents write it: prose, tables,
// headings and fenced blocks.
class MarkdownDoc {
 public:
  explicit MarkdownDoc(const std::string& text);

  // The code spans outside fenced blocks (prose, tables and headings).
  std::vector<std::string> CodeSpans() const;

  // The fenced blocks whose info string is `info`, each as its lines.
  std::vector<std::vector<std::string>> FencedBlocks(const std::string& info) const;

  // The rows of the first table whose header starts with the cells
  // `header`; empty, with a test failure, when there is none.
  TableRows Table(const std::vector<std::string>& header) const;

  // The level-3 headings below the level-2 heading `section`, up to the
  // next level-2 heading.
  std::vector<std::string> SubHeadings(const std::string& section) const;

 private:
  // Lines outside fenced blocks.
  std::vector<std::string> prose_;
  // Every line, with whether it lies in a fenced block, and that block's info.
  struct Line {
    std::string text;
    bool fenced;
    std::string info;
  };
  std::vector<Line> lines_;
};

// The code spans of one line of prose.
std::vector<std::string> CodeSpansIn(const std::string& line);

// A cell's text without one pair of enclosing backticks or double quotes.
std::string Unwrapped(const std::string& cell, char mark);

// Items of `wanted` missing from `present`, joined for a failure message.
std::string Missing(const std::set<std::string>& wanted, const std::set<std::string>& present);

}  // namespace docs_test
