#pragma once

class QCoreApplication;

namespace translations {

// Every text of the program is Russian, so the toolkit's own texts (the Yes
// and No of a question, the file dialog) are loaded in Russian as well,
// whatever the desktop's locale. Returns false, with a warning, when the
// toolkit's catalogue is not installed; the program then runs with the
// toolkit's English texts.
bool install(QCoreApplication *app);

} // namespace translations
