#pragma once
// What a form (an encoding's reader and writer) answers for one character.
//
// A reader: static int decode(const GbMaps*, const unsigned char* at,
// std::size_t left, std::uint32_t& code_point) takes the character at `at`
// (left > 0) and returns its length, or kInvalid or kCut.
//
// A writer: kMinRoom, the room the conversion asks for before it looks at a
// character (less room is E2BIG even when the character could not be written
// at all), and static int encode(const GbMaps*, std::uint32_t code_point,
// unsigned char* to, std::size_t room) with room >= kMinRoom, which returns
// the bytes written (0 for a character left out), or kUnencodable or kNoRoom.
namespace own_iconv {

struct GbMaps;

constexpr int kInvalid = -1;      // EILSEQ: no character starts here
constexpr int kCut = -2;          // EINVAL: the input ends inside a character
constexpr int kUnencodable = -1;  // EILSEQ: the target has no code for it
constexpr int kNoRoom = -2;       // E2BIG

}  // namespace own_iconv
