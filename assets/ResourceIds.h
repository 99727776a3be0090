// ResourceIds: identifiers of the program's resources, shared by ZOLVWeb.rc and the code.
#pragma once

#define ZOLV_ICON_APP 1
#define ZOLV_PICTURE_IE 101
#define ZOLV_PICTURE_CHROME 102
#define ZOLV_PICTURE_FIREFOX 103
#define ZOLV_PICTURE_SAFARI 104
#define ZOLV_PICTURE_OPERA 105
