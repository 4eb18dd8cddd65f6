#include "clsKankyo.h"

// Placeholder until the settings file is read and written.
qint16 clsKankyo::BackMode() const { return qint16(m_BackMode.toInt()); }
void clsKankyo::setBackMode(qint16 v) { m_BackMode = QString::number(v); }
void clsKankyo::setSortMode(const QString& v) { m_SortMode = v; }
void clsKankyo::LoadINI() { m_LoadFlg = true; }
bool clsKankyo::SaveIni() { return m_LoadFlg; }
void clsKankyo::SaveLogStyle() {}
