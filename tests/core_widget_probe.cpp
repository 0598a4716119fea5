// Built only by the core_has_no_widgets test, with what the core library
// brings: the test passes when this include is not found.
#include <QWidget>
