// Accessibility: what screen readers learn of the toolkit's buttons beyond the system's own
// accessible object. The chosen browser is shown only in bold, which neither Active
// Accessibility nor UI Automation reports, so its button carries a description, given as an
// annotation of the system's object (or, where the system takes none, by an object of ours
// around it); and a caption that changes after the focus left the button is announced as a
// live region's change. Nothing of it is loaded (oleacc, oleaut32, ole32) until an
// accessibility client asks a button for its object (WM_GETOBJECT), so start-up pays nothing
// without one.
#pragma once

#include <windows.h>

#include "platform/Text.h"

namespace zolv::win32::accessibility {

// The button's description now, or empty for none.
using DescriptionOf = String (*)(HWND button);

// The answer to WM_GETOBJECT for `button`: for its client area, the system's own accessible
// object with the description `describe` gives. Where the system takes annotations, the answer
// is 0 and the system answers with its object, annotated; otherwise it is an object of ours
// that asks `describe` at each question, or 0 when that object cannot be made.
LRESULT AnswerGetObject(HWND button, WPARAM wParam, LPARAM lParam, DescriptionOf describe);

// Tells clients that the button's description is now `description`.
void DescriptionChanged(HWND button, const String& description);

// Has screen readers read `button`'s caption now, as a polite live region (UI Automation's
// LiveSetting annotation, given once a client has asked for an object).
void AnnounceCaption(HWND button);

}  // namespace zolv::win32::accessibility
