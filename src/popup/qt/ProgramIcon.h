#pragma once

#include <QIcon>

namespace kx::popup {

// The program's icon, drawn at the sizes trays and title bars ask for: a blue rounded square
// with a white "K" over two text lines.
QIcon programIcon();

} // namespace kx::popup
