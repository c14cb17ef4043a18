#pragma once

#include <QString>
#include <QVariantList>
#include <optional>
#include <vector>

// The examinee registry (table examinee of personnel.mdb). An examinee is the triple
// name, department, position; the same name may exist in several departments.
struct Examinee {
    QString name;
    QString department;
    QString position;
    bool operator==(const Examinee& other) const {
        return name == other.name && department == other.department && position == other.position;
    }
};

struct RegisteredExaminee {
    qlonglong id = 0;
    Examinee person;
};

// Every operation opens its own connection and closes it before returning; a database
// failure raises DatabaseError.
namespace examinees {

struct Statement {
    QString sql;
    QVariantList params;
};

// The query for the given search fields (empty means not given); nullopt when all
// three are empty. Without a name the department is part of the query even when empty.
std::optional<Statement> SearchStatement(const Examinee& criteria);
std::vector<RegisteredExaminee> Search(const Statement& statement);
// Every examinee in table order.
std::vector<RegisteredExaminee> ListAll();

enum class AddOutcome { RejectedEmpty, RejectedSemicolon, Duplicate, Added };
AddOutcome Add(const Examinee& examinee);

bool IsEmpty();
void DeleteAll();
void DeleteOne(qlonglong id);

}  // namespace examinees
