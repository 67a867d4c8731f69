// What a message that rejects a name says would have been right: the nearest valid name when
// one is close enough to be a slip of the keyboard, else the valid names when they are few.
#pragma once

#include <string>
#include <vector>

namespace host {

// Edit distance between a and b, compared without case: insertions, deletions, substitutions
// and swaps of two neighbouring characters each count 1 ("Item_Spacng" is 1 from
// "Item_Spacing", "Pikcet" 1 from "Picket").
int NameDistance(const std::string& a, const std::string& b);

// The first of `names` nearest to `name`, when it lies within a third of the longer name's
// length (at least 1, at most 3) and is not `name` itself; empty otherwise.
std::string NearestName(const std::string& name, const std::vector<std::string>& names);

// The tail of a message that rejects `name`: "; did you mean X?" for a near name, else
// "; expected one of a, b, c" when there are at most `listUpTo` names, else "".
std::string NameChoices(const std::string& name, const std::vector<std::string>& names,
                        std::size_t listUpTo = 12);

}  // namespace host
