#pragma once
// The setup files of a plant's table made into a folder by the rules of
// halvex-eval --make --update: every row is read and its file compared with
// the one in the folder; only new and changed files are written, and only
// when no row is refused (a problem of its own, a file name an earlier row
// took, a place in the folder that is not a regular file). The folder gets
// all of them or none.

#include "plantfolder.h"
#include "plantplanner.h"
#include "planttable.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace hvx {

class PlantMaker {
public:
    PlantMaker(const PlantTable &table, const QString &dir);

    // Makes the folder when missing, opens and locks it. False with the reason.
    bool open(QString *error);
    // Reads one row and, while no row is refused, writes its file beside its
    // name (new and changed files only). False when a file could not be
    // written (errorString()); nothing is then written.
    bool addRow(int index);
    // Puts the files in place when no row was refused. False with the reason
    // (refused rows, or what the folder said); nothing is then written.
    bool commit();

    // "new: TT-140.hvx", "changed: TT-104.hvx (custom high 400 -> 450)", in
    // table order.
    const QStringList &listing() const { return m_listing; }
    qsizetype unchanged() const { return m_unchanged; }
    qsizetype written() const { return m_written; }
    // Every problem of every refused row, in table order.
    const std::vector<PlantProblem> &refused() const { return m_refused; }
    QString errorString() const { return m_error; }

private:
    void refuse(int line, const QString &column, const QString &message);

    const PlantTable &m_table;
    QString m_dir;
    PlantPlanner m_planner; // its claims: one file per name
    PlantFolder m_folder;
    QStringList m_listing;
    qsizetype m_unchanged = 0;
    qsizetype m_written = 0;
    std::vector<PlantProblem> m_refused;
    QString m_error;
};

} // namespace hvx
