#pragma once
// The gallery's data form: a table of an in-memory SQLite database browsed and edited through the
// skinned data-aware controls.
class QWidget;

namespace zelvar {
// A framed window in `style`'s form (a TsuiUIStyle value) over a fresh in-memory database.
QWidget* DataAwareDemo(int style);
}  // namespace zelvar
