// ButtonImages: a button's picture, loaded from a bitmap resource into an image list holding
// its two looks, as drawn and greyed for a disabled button. The colour of the bitmap's
// bottom-left pixel is its transparent colour.
#pragma once

#include "platform/win32/toolkit/ToolkitWin32.h"

namespace zolv::toolkit {

struct ButtonImages {
  enum Look { kNormal = 0, kDisabled = 1 };

  UniqueImageList images;
  SIZE size{};

  explicit operator bool() const { return static_cast<bool>(images); }
};

// The picture of bitmap resource `resourceId` of the running program; empty when it has none.
ButtonImages LoadButtonImages(int resourceId);

}  // namespace zolv::toolkit
