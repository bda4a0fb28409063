#pragma once

#include "Records.h"

#include <memory>

namespace norvik {

// A realistic, fully filled record of a kind: every field that its file
// carries is set to a plausible value.
std::unique_ptr<KivNorvikData> sampleRecord(Kind kind);

} // namespace norvik
