// Small value types the library's callers share.
#pragma once

namespace korv {

// A Boolean that may not be known yet.
enum class TBool3State { bsFalse, bsTrue, bsUnknown };

}  // namespace korv
