#include "process/gtp_vertex.h"

#include <cctype>
#include <cstdlib>

namespace mh {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// True when text, ignoring letter case and trailing blanks, is word.
bool isWord(std::string_view text, std::string_view word) {
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
  return true;
}
}  // namespace

char gtpColumnLetter(int x) { return static_cast<char>(x < 8 ? 'A' + x : 'A' + x + 1); }

std::string gtpVertex(Point p, int width, int rows) {
  if (p < 0 || width <= 0) return {};
  const int x = p % width, y = p / width;
  if (y >= rows) return {};
  return std::string(1, gtpColumnLetter(x)) + std::to_string(rows - y);
}

std::optional<GtpMoveReply> parseGtpMoveReply(std::string_view line, int rows) {
  if (!line.empty() && line.front() == '=') line.remove_prefix(1);
  while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
  if (isWord(line, "pass")) return GtpMoveReply{GtpMoveReply::Pass, -1, -1};
  if (isWord(line, "resign")) return GtpMoveReply{GtpMoveReply::Resign, -1, -1};
  if (line.size() < 2 || !std::isalpha(static_cast<unsigned char>(line[0])) ||
      !std::isdigit(static_cast<unsigned char>(line[1])))
    return std::nullopt;
  int column = std::toupper(static_cast<unsigned char>(line[0]));
  if (column > 'I') --column;
  long n = 0;
  for (size_t i = 1; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])) && n < 100000; ++i)
    n = n * 10 + (line[i] - '0');
  const int row = static_cast<int>(n);
  return GtpMoveReply{GtpMoveReply::Vertex, column - 'A', row >= 1 ? rows - row : row - 1};
}

Point gtpReplyPoint(const GtpMoveReply& reply, int width, int height) {
  if (reply.kind != GtpMoveReply::Vertex) return kNoPoint;
  if (reply.x < 0 || reply.x >= width || reply.y < 0 || reply.y >= height) return kNoPoint;
  return reply.x + width * reply.y;
}

}  // namespace mh
