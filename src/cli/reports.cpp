// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/reports.hpp"

#include <nlohmann/json.hpp>

#include <sstream>

namespace dimora::cli {
namespace {

using nlohmann::json;

const char* measurementName(MeasurementKind kind)
{
    switch (kind) {
    case MeasurementKind::Black:
        return "black";
    case MeasurementKind::NonBlack:
        return "nonblack";
    case MeasurementKind::Gray:
        return "gray";
    case MeasurementKind::Slices:
        return "slices";
    case MeasurementKind::Cubes:
        return "cubes";
    }
    return "";
}

json regionJson(const Region& r)
{
    return json::array({r.left, r.top, r.width, r.height});
}

// The fit's numbers and its uncertainty over the fitted pairs (standard error
// and interval null when n = 2).
void addFit(json& out, const FitResult& fit)
{
    out["n"] = fit.n;
    out["r"] = fit.r;
    out["slope"] = fit.slope;
    out["intercept"] = fit.intercept;
    out["dimension"] = fit.dimension;
    const FitUncertainty& u = fit.uncertainty;
    out["standardError"] = u.standardError ? json(*u.standardError) : json(nullptr);
    out["ci95"] = u.standardError ? json::array({*u.ci95Low, *u.ci95High}) : json(nullptr);
    out["rSquared"] = u.rSquared;
}

// Paths are bytes, not always UTF-8: an invalid sequence in one becomes
// U+FFFD rather than failing the whole report.
std::string dumpJson(const json& out)
{
    return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

// The size column of the count window: the side right-aligned in 3 columns
// (wider sides take the room they need).
std::string sideText(std::int64_t side)
{
    std::string text = std::to_string(side);
    if (text.size() < 3)
        text.insert(0, 3 - text.size(), ' ');
    return text;
}

void addChoices(json& out, const FitChoices& choices)
{
    if (choices.grid) {
        out["grid"] = *choices.grid == GridPlacement::Min ? "min" : "origin";
        if (*choices.grid == GridPlacement::Min) {
            json offsets = json::array();
            for (const GridOffset& offset : choices.offsets)
                offsets.push_back({offset.x, offset.y});
            out["offsets"] = offsets;
        }
    }
    if (!choices.ranged)
        return;
    const RangedFit& ranged = *choices.ranged;
    out["range"] = {ranged.low, ranged.high};
    json slopes = json::array();
    for (const auto& slope : ranged.localSlopes)
        slopes.push_back(slope ? json(*slope) : json(nullptr));
    out["localSlopes"] = slopes;
    if (!ranged.rule.empty())
        out["rangeRule"] = ranged.rule;
    if (ranged.noPlateau)
        out["rangeNote"] = kNoPlateauNote;
}

// The text report's line for --grid and --range, when either was given:
// "min grid, range 4–256 (auto)".
void writeChoices(std::ostringstream& text, const FitChoices& choices)
{
    std::string line;
    if (choices.gridGiven && choices.grid)
        line = *choices.grid == GridPlacement::Min ? "min grid" : "origin grid";
    if (choices.rangeGiven && choices.ranged) {
        if (!line.empty())
            line += ", ";
        line += "range " + std::to_string(choices.ranged->low) + "–" + std::to_string(choices.ranged->high);
        if (!choices.ranged->rule.empty())
            line += " (auto)";
    }
    if (!line.empty())
        text << line << '\n';
}

void writeCountList(std::ostringstream& text, const std::vector<std::string>& lines)
{
    text << "サイズ, 個数\n";
    for (std::size_t k = 0; k < lines.size(); ++k)
        text << sideText(static_cast<std::int64_t>(countListSide(k))) << "  " << lines[k] << '\n';
}

}  // namespace

nlohmann::json dimensionJson(MeasurementKind kind, const DimensionMeasurement& m,
                             const std::optional<SliceFacts>& slices, const FitChoices& choices)
{
    nlohmann::json out;
    out["measurement"] = measurementName(kind);
    out["region"] = regionJson(m.region);
    out["sides"] = m.sides;
    out["counts"] = m.counts;
    out["countList"] = m.countList;
    if (kind == MeasurementKind::Gray)
        out["brightness"] = m.value2;
    else
        out["coverage"] = m.value2;
    if (m.fit)
        addFit(out, *m.fit);
    out["fields"] = {m.fields.edit1, m.fields.edit2, m.fields.edit3, m.fields.edit4};
    addChoices(out, choices);
    if (slices) {
        out["slices"] = slices->slices;
        if (slices->spacing)
            out["spacing"] = *slices->spacing;
        out["lastFile"] = slices->lastFile;
        if (slices->voxel) {
            out["voxel"] = *slices->voxel;
            out["slicesPerBox"] = slices->slicesPerBox;
        }
    }
    return out;
}

std::string dimensionReport(MeasurementKind kind, const DimensionMeasurement& m,
                            const std::optional<SliceFacts>& slices, ReportForm form,
                            const FitChoices& choices)
{
    if (form == ReportForm::Json)
        return dumpJson(dimensionJson(kind, m, slices, choices));
    std::ostringstream text;
    text << "画像ｻｲｽﾞ（横×縦）" << m.fields.edit1 << '\n'
         << "被度（％），輝度差" << m.fields.edit2 << '\n'
         << "相関係数　（ ｎ ）" << m.fields.edit3 << '\n'
         << "フラクタル次元" << m.fields.edit4 << '\n';
    if (slices && slices->spacing)
        text << "スライス " << slices->slices << ", 間隔 " << *slices->spacing << " pixel, "
             << slices->lastFile << '\n';
    if (slices && slices->voxel) {
        const auto& [x, y, z] = *slices->voxel;
        text << "スライス " << slices->slices << ", ボクセル " << x << "×" << y << "×" << z << ", "
             << slices->lastFile << '\n';
    }
    writeChoices(text, choices);
    writeCountList(text, m.countList);
    return text.str();
}

nlohmann::json lengthJson(const Region& scan, const std::optional<TotalLength>& length)
{
    nlohmann::json out;
    out["measurement"] = "length";
    out["region"] = regionJson(scan);
    if (length) {
        out["length"] = length->length;
        out["fields"] = {length->field};
    } else {
        // No pixel to scan: the total-length field is not written.
        out["fields"] = nlohmann::json::array();
    }
    return out;
}

std::string lengthReport(const Region& scan, const std::optional<TotalLength>& length, ReportForm form)
{
    if (form == ReportForm::Json)
        return dumpJson(lengthJson(scan, length));
    std::ostringstream text;
    text << "指定範囲内の総延長" << (length ? length->field : std::string()) << " pixel (dot)\n";
    return text.str();
}

std::string refitReport(const Recalculation& recalculation, ReportForm form, const FitChoices& choices)
{
    if (form == ReportForm::Json) {
        nlohmann::json out;
        out["measurement"] = "refit";
        std::vector<std::int64_t> sides, counts;
        for (const auto& pair : recalculation.pairs) {
            sides.push_back(pair.side);
            counts.push_back(pair.count);
        }
        out["sides"] = sides;
        out["counts"] = counts;
        addFit(out, recalculation.fit);
        out["fields"] = {recalculation.fields.edit3, recalculation.fields.edit4};
        addChoices(out, choices);
        return dumpJson(out);
    }
    std::ostringstream text;
    text << "相関係数　（ ｎ ）" << recalculation.fields.edit3 << '\n'
         << "フラクタル次元" << recalculation.fields.edit4 << '\n';
    writeChoices(text, choices);
    return text.str();
}

}  // namespace dimora::cli
