#pragma once

#include <QList>
#include <QString>

#include "data/docx.h"
#include "rules/assembly.h"
#include "rules/printedlayout.h"

// A printed paper: one concrete set of questions drawn by a stored paper's rules, as an
// exam document with its answer key. The draw is the examinee's, into a pool of its own in
// questions.mdb; questions that carry a picture are never drawn.
namespace printed {

// The pool (interim of questions.mdb) lives while the printed-paper window is open.
void CreateEmptyPool();
void DropPool();

enum class Outcome {
    Drawn,
    BankTooSmall,  // a rule asks for more picture-free questions than the bank holds
    BrokenRule,    // a stored rule text does not follow the grammar
};

struct DrawnPaper {
    Outcome outcome = Outcome::Drawn;
    QString type;                 // the question type that was short or broken
    double fullMarks = 0;         // the 满分 of every rule row of the paper
    QList<SectionText> sections;  // numbered, in the order of the question types
};

// Draws the paper into a fresh pool and lays out every section in type order, with a
// random order inside each type; unless drawn, the pool is left as it was. Database failures raise
// DatabaseError.
DrawnPaper DrawPaper(const QString& paperName, assembly::RandomSource& random);

// What the administrator is told when the paper cannot be drawn (empty when drawn).
QString OutcomeMessage(const DrawnPaper& paper);

// What the administrator types in for the printed copy; only ever printed.
struct PaperForm {
    QString title;
    QString minutes;
    QString passMark;
};

// The template's six bookmarks filled for a drawn paper.
QList<docx::BookmarkFill> DocumentFills(const PaperForm& form, const DrawnPaper& paper);

// A path in `folder` for a new document named after the exam title, never an existing
// file's: "<title>.docx", else "<title>(2).docx", …
QString NewDocumentPath(const QString& folder, const QString& title);

}  // namespace printed
