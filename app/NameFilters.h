// Open-dialog filters written as the original dialogs take them, "description|patterns|description|patterns"
// with the patterns of one entry separated by ";", turned into Qt's name filters.
#pragma once

#include <QString>
#include <QStringList>

// "ＮＣデータ|*.NC;*.NT|ALL|*.*" gives {"ＮＣデータ (*.NC *.NT)", "ALL (*.*)"}.
QStringList QtNameFilters(const QString& barFilter);
