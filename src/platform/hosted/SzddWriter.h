// Writes SZDD-compressed files ("sam._"), the form in which Windows NT keeps its repair copies
// and which its Expand tool reads. The format: the magic "SZDD\x88\xF0\x27\x33", the method
// 'A', the last character of the original name (the one the compressed name replaces with
// '_'), the original length, then LZSS data: a flag byte whose bits, lowest first, say for each
// of the next eight items whether it is a literal byte (1) or a match of two bytes (0) naming
// a position in a 4 KiB window (low 8 bits, then high 4 bits beside the length minus 3).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brx::platform::hosted {

std::vector<std::uint8_t> szddCompress(std::span<const std::uint8_t> data, char missingCharacter);

// "sam" gives "sam._", "ntuser.dat" gives "ntuser.da_", as the compressor names them.
std::string szddName(const std::string& name);
// The character that szddName replaced with '_' (0 when it added one).
char szddMissingCharacter(const std::string& name);

// Compresses the host file `source` into `target`. Returns 0 or an errno value.
int writeSzddFile(const std::string& source, const std::string& target);

}  // namespace brx::platform::hosted
