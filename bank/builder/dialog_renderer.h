#pragma once

#include <QImage>
#include <QString>

namespace bank {

// Lays out a dialog exhibit as the real dialog would be, with Qt's own widgets (tabs, group
// boxes, fields, drop-downs, check boxes, buttons), and takes its picture offscreen at build
// time, so it looks like a screenshot and not a drawing of one. The description:
//   title: Local Area Connection Properties
//   width: 460                         (optional, in pixels)
//   tabs: General | *Advanced | Sharing (optional; * marks the tab shown, else the first)
//   group: IP settings                 (a framed group; the rows after it go inside)
//   field: IPv4 address | 192.168.1.20
//   combo: Lockout duration | 15 minutes
//   spin: Maximum password age (days) | 90
//   check: yes | Enforce password history     (yes or no)
//   radio: no | Obtain an IP address automatically
//   text: A line of the dialog's own text
//   buttons: OK | Cancel | Apply
// Lines starting with # are comments. Errors are SourceErrors naming the file and line.
QImage renderDialog(const QString& dialogFile);

}  // namespace bank
