#pragma once

#include <QString>

class QWidget;

// Centres a top-level window on its screen when position is exactly "center".
void centerWindow(QWidget* window, const QString& position);
