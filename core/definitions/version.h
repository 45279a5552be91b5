#pragma once
// The version check's numbers: the program's own version, the published one and the
// rule that compares them.

#include <cstdint>

#include "core/base/text.h"
#include "core/definitions/definitions_set.h"
#include "core/texts/constant_texts.h"

namespace zc {

// The number a text begins with. Blanks (space, tab, line feed) are ignored anywhere,
// also inside the number ("1 2.5" reads 12.5). Accepted: an optional sign, digits, a
// decimal point and more digits, then an exponent written with "e" or "d" and an
// optional sign ("1e2", "1d2" read 100); or "&H" followed by hexadecimal digits or "&O"
// followed by octal digits, read as a non-negative whole number. Reading stops at the
// first character that cannot continue the number; a text without a leading number
// reads 0. A number too large for a double reads as infinity with its sign.
double ReadLeadingNumber(TextView text);

// The number of `minuend` less the number of `subtrahend`, rounded to the nearest whole
// number with halves going to the even one.
int64_t VersionDifference(TextView minuend, TextView subtrahend);

// The program's own version: VersionDifference of its two enciphered version constants.
int64_t OwnVersion(const ConstantTexts& texts);

// Element 5 of the definitions, deciphered now (it is never kept deciphered). Empty when
// it does not decipher or the set has no element 5.
Text LatestVersion(const DefinitionsSet& set, const ConstantTexts& texts);

// True only when the published version reads strictly greater than the program's own.
bool IsNewerVersionPublished(const DefinitionsSet& set, const ConstantTexts& texts);

}  // namespace zc
