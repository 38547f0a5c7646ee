#include "TestSprigs.h"

namespace designtest {

DESIGN_CLASS_IMPL(TSessSprig)
DESIGN_CLASS_IMPL(TDefaultSessSprig)
DESIGN_CLASS_IMPL(TSpareSprig)
DESIGN_CLASS_IMPL(TDbSprig)
DESIGN_CLASS_IMPL(TImpliedSprig)
DESIGN_CLASS_IMPL(TDsSprig)

}  // namespace designtest
