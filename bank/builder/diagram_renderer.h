#pragma once

#include <QImage>
#include <QString>

namespace bank {

// Draws a network diagram from its Graphviz source with the dot program at build time. A
// missing dot, or a source it cannot draw, is a SourceError naming the file and why.
QImage renderDiagram(const QString& dotFile);

}  // namespace bank
