#pragma once

namespace pphost {

// Whether the space-separated extension list `list` (may be null) names
// `name` as a whole word.
bool HasExtension(const char* list, const char* name);

}  // namespace pphost
