// The machine file's JSON text into the document. A syntax error is placed
// by the line and column the parser names; a number too large for the
// parser, which it reports without a place, by the JSON pointer of the
// value it was reading. A member that an object lists twice is an error
// too: the parser would keep the last one without a word.
#include <set>
#include <vector>

#include "sim/machine_file/machine_file_error.h"
#include "sim/machine_file/machine_reader.h"

namespace {

// The place of a syntax error, from the parser's own message ("... parse
// error at line 3, column 7: syntax error ...").
MachineFileError SyntaxError(const Json::parse_error& error) {
  std::string message = error.what();
  const std::string marker = "parse error at ";
  size_t at = message.find(marker);
  size_t colon = at == std::string::npos ? std::string::npos : message.find(": ", at);
  if (colon == std::string::npos)
    return MachineFileError("byte " + std::to_string(error.byte), message);
  std::string place = message.substr(at + marker.size(), colon - at - marker.size());
  return MachineFileError(place, message.substr(colon + 2));
}

// The problem without the parser's "[json.exception.KIND.N] " prefix.
std::string Problem(const Json::exception& error) {
  std::string message = error.what();
  size_t end = message.find("] ");
  return end == std::string::npos ? message : message.substr(end + 2);
}

// Follows the parser through the document: the member or element it is
// reading at each level.
class ParsePlace {
 public:
  bool Follow(Json::parse_event_t event, const Json& parsed) {
    switch (event) {
      case Json::parse_event_t::object_start:
        levels_.push_back({false, 0, {}, {}});
        break;
      case Json::parse_event_t::array_start:
        levels_.push_back({true, 0, {}, {}});
        break;
      case Json::parse_event_t::key:
        levels_.back().key = parsed.get<std::string>();
        if (!levels_.back().keys.insert(levels_.back().key).second)
          FailAt(Pointer(), "the same member appears twice");
        break;
      case Json::parse_event_t::object_end:
      case Json::parse_event_t::array_end:
        levels_.pop_back();
        ValueRead();
        break;
      case Json::parse_event_t::value:
        ValueRead();
        break;
    }
    return true;
  }

  std::string Pointer() const {
    std::string pointer;
    for (const Level& level : levels_)
      pointer = level.array ? IndexPointer(pointer, level.index) : MemberPointer(pointer, level.key);
    return pointer;
  }

 private:
  struct Level {
    bool array;
    size_t index;     // of the element being read, in an array
    std::string key;  // of the member being read, in an object
    std::set<std::string> keys;
  };

  void ValueRead() {
    if (!levels_.empty() && levels_.back().array) ++levels_.back().index;
  }

  std::vector<Level> levels_;
};

}  // namespace

Json ParseMachineJson(const std::string& text) {
  ParsePlace place;
  try {
    return Json::parse(text, [&place](int, Json::parse_event_t event, Json& parsed) {
      return place.Follow(event, parsed);
    });
  } catch (const Json::parse_error& error) {
    throw SyntaxError(error);
  } catch (const Json::out_of_range& error) {
    throw MachineFileError(place.Pointer(), Problem(error));
  }
}
