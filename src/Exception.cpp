#include "Exception.h"

#include <utility>

#include "Utf.h"

namespace zolv {

Exception::Exception(String message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

}  // namespace zolv
