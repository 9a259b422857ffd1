// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupcheck.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <map>
#include <set>

#include "datafile/datafileformat.h"
#include "datafile/datafiletargets.h"
#include "datafile/modelloader.h"
#include "linear/linearpointslogic.h"
#include "link/userdialogs.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/fieldcaptions.h"
#include "params/fieldrange.h"
#include "params/setupmodel.h"

namespace SetupCheck {

namespace {

    constexpr double FrequencyLimit = 32000.0; // a frequency cell stores nothing from this number up

    // Corrupt entries are listed before the loader sees them, so it never asks.
    class NoQuestions final : public UserDialogs
    {
    public:
        Answer showMessage(const Message &) override { return Answer::No; }
        std::optional<QString> openFileName(const FileDialog &) override { return std::nullopt; }
        std::optional<QString> saveFileName(const FileDialog &) override { return std::nullopt; }
    };

    struct Cell
    {
        int line = 0;
        QString text;
    };

    QString cannotHold(const QString &name, const QString &text)
    {
        return QStringLiteral("%1: %2 is more than its record can hold").arg(name, text);
    }

    class Checker
    {
    public:
        explicit Checker(SetupModel &model)
            : m_model(model)
            , m_family(model.family())
        {
        }

        void load(const std::vector<DataFileReader::Line> &lines)
        {
            const QChar point = DataFileFormat::userDecimalPoint();
            for (const DataFileReader::Line &line : lines) {
                if (!line.isEntry)
                    continue;
                if (!line.sound) {
                    add(Kind::Corrupt, line.number, {},
                        QStringLiteral("Corrupt entry \"%1=%2\": its name and value must be numbers")
                            .arg(line.name, line.value));
                    continue;
                }
                const auto target
                    = DataFileTargets::lookup(m_family.parameters, DataFileReader::code(line.name));
                if (!target)
                    continue;
                const bool isPoint = target->row >= 0;
                if (isPoint) {
                    const int column = target->kind == DataFileTargets::Kind::PointFrequency ? 0 : 1;
                    m_cells[size_t(target->row)][size_t(column)]
                        = { line.number, DataFileReader::fieldText(line.value, point) };
                } else {
                    m_lines[target->control] = line.number;
                }
                if (ModelLoader::apply(m_model, { line }, m_dialogs) == ModelLoader::Outcome::Failed) {
                    // Open stops here with "Opening File Error!"; the check goes on to list the rest.
                    const Parameter *p = m_family.parameters.find(target->control);
                    const QString name = p ? FieldCaptions::name(*p) : target->control;
                    add(Kind::CannotHold, line.number, name,
                        QStringLiteral("%1: %2 is no entry of its list").arg(name, line.value));
                }
            }
        }

        void checkFields()
        {
            for (const Parameter &p : m_family.parameters.rows()) {
                if (!p.isText() || (p.switchable() && !m_model.isActive(p)))
                    continue; // greyed fields are neither sent nor checked
                const QString text = m_model.text(p);
                if (text.isEmpty())
                    continue;
                const QString name = FieldCaptions::name(p);
                const int line = lineOf(p);
                if (!(p.intRecord ? Values::FitsInt(text) : Values::FitsSingle(text))) {
                    add(Kind::CannotHold, line, name, cannotHold(name, text));
                    continue;
                }
                const QString label = FieldCaptions::label(p);
                const DeviceState &r = m_model.records();
                if (p.rule == Parameter::Rule::KfactorUnits) {
                    // The range of the selected units; with none selected nothing is checked.
                    const Parameter *units = m_family.parameters.find(QStringLiteral("cboKfactorUnits"));
                    const RealItem *range
                        = units ? ParameterSet::kfactorRecord(r, m_model.listPosition(*units)) : nullptr;
                    if (range && FieldRange::refusesReal(text, *range))
                        add(Kind::OutOfRange, line, name, FieldRange::message(label, *range));
                } else if (p.intRecord) {
                    if (FieldRange::refusesInt(text, r.*p.intRecord))
                        add(Kind::OutOfRange, line, name, FieldRange::message(label, r.*p.intRecord));
                } else if (FieldRange::refusesReal(text, r.*p.realRecord)) {
                    add(Kind::OutOfRange, line, name, FieldRange::message(label, r.*p.realRecord));
                }
            }
        }

        void checkPoints()
        {
            const Parameter &count = m_family.parameters.linearPts();
            const QString countText = m_model.text(count);
            const IntItem &countRange = m_model.records().LinearPtsItem;
            const double wanted = Values::Val(countText);
            // Without a sound number of points there is no telling which points are extra.
            const bool countSound = !countText.isEmpty() && Values::FitsInt(countText)
                && !ParameterSet::unusablePoints(countText) && wanted >= countRange.minimum
                && wanted <= countRange.maximum;
            const int points = int(std::clamp(std::floor(wanted), 0.0, double(LinearPointsLogic::Rows)));
            LinearPointsLogic headings(m_model.records(), m_dialogs, m_family);
            const DeviceState &r = m_model.records();
            for (int row = 0; row < LinearPointsLogic::Rows; ++row) {
                for (int column = 0; column < 2; ++column) {
                    const Cell &cell = m_cells[size_t(row)][size_t(column)];
                    if (cell.line == 0)
                        continue;
                    const QString name = pointName(row, column);
                    if (row >= points) {
                        if (countSound)
                            add(Kind::BeyondLinearPoints, cell.line, name,
                                QStringLiteral("%1 is beyond Linear Points (%2)").arg(name, countText));
                        continue;
                    }
                    checkPoint(row, column, cell, name, headings, r);
                }
            }
        }

        void checkMissing()
        {
            for (const QString &missing : m_model.missing()) {
                QString name = missing;
                for (const Parameter &p : m_family.parameters.rows()) {
                    if (missing == QLatin1String(p.name))
                        name = FieldCaptions::name(p);
                }
                // What is already listed for a field is why it counts as missing.
                if (!m_named.count(name))
                    add(Kind::Missing, 0, name, name + QStringLiteral(": missing"));
            }
        }

        std::vector<Problem> problems()
        {
            // File order, then what belongs to no line.
            std::stable_sort(m_problems.begin(), m_problems.end(), [](const Problem &a, const Problem &b) {
                return (a.line == 0 ? INT_MAX : a.line) < (b.line == 0 ? INT_MAX : b.line);
            });
            return m_problems;
        }

    private:
        void checkPoint(int row, int column, const Cell &cell, const QString &name,
            const LinearPointsLogic &headings, const DeviceState &r)
        {
            const size_t k = size_t(row);
            if (column == 0) {
                if (cell.text.isEmpty() || r.LinFreqItems[k].value == -1) {
                    if (!cell.text.isEmpty()
                        && !(Values::Val(cell.text) < FrequencyLimit && Values::FitsInt(cell.text)))
                        add(Kind::CannotHold, cell.line, rowName(row), cannotHold(name, cell.text));
                    return; // never entered: the missing-entry check names it
                }
                const QString heading = headings.heading(LinearPointsLogic::Column::Freq);
                if (FieldRange::refusesInt(cell.text, r.LinFreqItems[k]))
                    add(Kind::OutOfRange, cell.line, rowName(row),
                        FieldRange::message(heading, r.LinFreqItems[k]));
                return;
            }
            if (cell.text.isEmpty() || r.LinFlowItems[k].value == -1.0f) {
                if (!cell.text.isEmpty() && !Values::FitsSingle(cell.text))
                    add(Kind::CannotHold, cell.line, rowName(row), cannotHold(name, cell.text));
                return;
            }
            const QString heading = headings.heading(LinearPointsLogic::Column::Coef);
            if (FieldRange::refusesReal(cell.text, r.LinFlowItems[k]))
                add(Kind::OutOfRange, cell.line, rowName(row),
                    FieldRange::message(heading, r.LinFlowItems[k]));
        }

        int lineOf(const Parameter &p) const
        {
            const auto it = m_lines.find(p.controlName());
            return it == m_lines.end() ? 0 : it->second;
        }

        QString pointName(int row, int column) const
        {
            return QStringLiteral("%1 Linear Pt %2").arg(m_family.pointColumns[column]).arg(row + 1);
        }

        // The missing-entry check names a point by its row alone.
        static QString rowName(int row) { return QStringLiteral("Linear Pt %1").arg(row + 1); }

        void add(Kind kind, int line, const QString &name, const QString &message)
        {
            m_problems.push_back({ kind, line, name, message });
            m_named.insert(name);
        }

        SetupModel &m_model;
        const DeviceFamily &m_family;
        NoQuestions m_dialogs;
        std::map<QString, int> m_lines; // control -> the line that last set it
        std::array<std::array<Cell, 2>, LinearPointsLogic::Rows> m_cells {};
        std::vector<Problem> m_problems;
        std::set<QString> m_named;
    };

} // namespace

std::vector<Problem> check(SetupModel &model, const std::vector<DataFileReader::Line> &lines)
{
    Checker checker(model);
    checker.load(lines);
    checker.checkFields();
    checker.checkPoints();
    checker.checkMissing();
    return checker.problems();
}

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Corrupt:
        return QStringLiteral("corrupt");
    case Kind::OutOfRange:
        return QStringLiteral("outOfRange");
    case Kind::CannotHold:
        return QStringLiteral("cannotHold");
    case Kind::Missing:
        return QStringLiteral("missing");
    case Kind::BeyondLinearPoints:
        break;
    }
    return QStringLiteral("beyondLinearPoints");
}

QString describe(const Problem &problem)
{
    return problem.line > 0 ? QStringLiteral("line %1: %2").arg(problem.line).arg(problem.message)
                            : problem.message;
}

} // namespace SetupCheck
