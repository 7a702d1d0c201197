#pragma once
// The choices made in the print dialog, and the print job they make: the
// printer (and its instance) and the job's options in the print system's
// terms, one NAME=VALUE each.

#include <QPrinter>
#include <QString>
#include <QStringList>

namespace hvx {

struct PrintChoices {
    QString printerName; // as the print dialog names it: "queue" or "queue/instance"
    QString paper;       // the page size's key ("A4"); empty: the printer's own
    bool landscape = false;
    int copies = 1;
    bool collate = true;
    QPrinter::DuplexMode duplex = QPrinter::DuplexAuto;
    bool grayscale = false;
    bool lastPageFirst = false;
    // Pages chosen by number; 0: all pages.
    int fromPage = 0;
    int toPage = 0;
    // What the dialog keeps for the print system alone (pages per sheet, page
    // set, banners, job priority and hold, the printer's own options): name,
    // value, name, value...
    QStringList systemOptions;
};

struct PrintRequest {
    QString queue;       // empty: no printer is chosen
    QString instance;    // the queue's instance whose kept options go along; empty: none
    QStringList options; // NAME=VALUE, each name once
};

PrintRequest printRequest(const PrintChoices &choices);

} // namespace hvx
