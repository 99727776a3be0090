#include "ErrorBox.h"

#include "Exception.h"
#include "FilePaths.h"
#include "Utf.h"

namespace zolv {

String ApplicationTitle(StringView moduleFileName) {
  StringView name = ExtractFileName(moduleFileName);
  name = name.substr(0, name.find(u'.'));
  String title = text::LowerCase(name);
  if (!title.empty())
    title.front() = name.front();
  return title;
}

String ErrorBoxText(StringView message) {
  String text(message);
  if (!text.empty() && text.back() > u'.')
    text += u'.';
  return text;
}

String ExceptionMessage(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return FromUtf8(e.what());
  } catch (...) {
    return u"Unknown error";
  }
}

void ShowErrorsInErrorBox(toolkit::Application& app) {
  app.SetExceptionHandler([&app](const std::exception_ptr& error) {
    app.ShowErrorBox(ErrorBoxText(ExceptionMessage(error)));
  });
}

}  // namespace zolv
