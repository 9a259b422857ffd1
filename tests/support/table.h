// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <ostream>

#include <QList>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// One row of a test table kept under tests/data: cells split at '|', trimmed. A cell is read by
// its column's name where the table names its columns, or by its position.
struct TableRow
{
    QString file;
    QString table;
    int line = 0;
    QStringList cells;
    std::shared_ptr<const QStringList> columns; // the table's header, if it has one

    QString operator[](int i) const { return i < cells.size() ? cells.at(i) : QString(); }
    QString operator[](const char *column) const;
    QStringList words(int i) const;
    QStringList words(const char *column) const;
    int number(int i) const { return (*this)[i].toInt(); }
    int number(const char *column) const { return (*this)[column].toInt(); }
    // The cell as a text: double quotes around it keep its spaces; \n, \r, \t and \xNN stand for
    // those characters.
    QString text(const char *column) const;
    // "file:line" for failure messages (SCOPED_TRACE(row.where())).
    std::string where() const;
    // The row as a test case's name: its table and line, e.g. "endings_12".
    std::string caseName() const;
};

// GoogleTest prints a failing case's parameter with this.
void PrintTo(const TableRow &row, std::ostream *out);

// A test of one row of a table: each row is a case of its own, so --gtest_filter runs one row and
// the count of cases is the count of rows. The body reads its row as `row`; under TABLE_TEST_F it
// runs in a fresh fixture for each row, with the fixture's members at hand.
#define TABLE_TEST(Suite, Name, File, Table) TABLE_TEST_ON(::testing::Test, Suite, Name, File, Table)
#define TABLE_TEST_F(Fixture, Name, File, Table) TABLE_TEST_ON(Fixture, Fixture, Name, File, Table)
#define TABLE_TEST_ON(Base, Suite, Name, File, Table)                                                        \
    class Suite##_##Name : public Base, public ::testing::WithParamInterface<TableRow>                       \
    {                                                                                                        \
    protected:                                                                                               \
        void runTableRow(const TableRow &row);                                                               \
    };                                                                                                       \
    TEST_P(Suite##_##Name, Name)                                                                             \
    {                                                                                                        \
        runTableRow(GetParam());                                                                             \
    }                                                                                                        \
    INSTANTIATE_TEST_SUITE_P(Suite, Suite##_##Name, ::testing::ValuesIn(tableRows(File, Table)),             \
        [](const ::testing::TestParamInfo<TableRow> &info) { return info.param.caseName(); });               \
    void Suite##_##Name::runTableRow(const TableRow &row)

// The rows of table `name` in tests/data/<file>. The format:
//   # a comment, and blank lines, are skipped
//   [name]                  starts a table
//   # name | name | name    before the first row: names the columns
//   cell | cell | cell      one row; a line ending in '\' goes on on the next line
// A missing file or table fails the calling test.
QList<TableRow> tableRows(const QString &file, const QString &name);
