// ZOLVWeb: the program — start the toolkit, create the main window, run the message loop.
#include "ErrorBox.h"
#include "UFPrincipal.h"
#include "assets/ResourceIds.h"
#include "platform/Files.h"
#include "platform/Program.h"
#include "platform/Toolkit.h"

namespace zolv {

int ProgramMain() {
  toolkit::Application app(ZOLV_ICON_APP);
  app.SetTitle(ApplicationTitle(files::ModuleFileName()));
  ShowErrorsInErrorBox(app);
  // Nothing may leave through the platform's entry point: what escapes the window (it cannot
  // even be created, say) is shown the same way and ends the program.
  try {
    TForm1 form(app);
    form.ShowCentred();
    app.Run();
    return 0;
  } catch (...) {
    app.ShowErrorBox(ErrorBoxText(ExceptionMessage(std::current_exception())));
    return 1;
  }
}

}  // namespace zolv
