#pragma once

#include <QString>

// Decimal text of a number the way the data files store it: "17", "2", "1.5".
QString NumberText(double value);
