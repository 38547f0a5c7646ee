#include "toolsapi/ToolsAPI.h"

namespace toolsapi {

std::shared_ptr<IBorlandIDEServices> BorlandIDEServices;

}  // namespace toolsapi
