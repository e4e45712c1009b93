#pragma once

// The parts of an XLSX workbook around its sheets: where each part lies, which sheet comes
// first, and which cell formats show a date.

#include "ZipXml.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmorin {

// A whole number attribute, or `otherwise`.
std::size_t partIndex(std::string_view text, std::size_t otherwise);

// A part named from another part's folder: "worksheets/sheet1.xml" from "xl/", or "/xl/…".
std::string partPath(std::string_view folder, std::string_view target);

// The folder of a part, with its last '/'.
std::string_view folderOf(std::string_view path);

// A package's relationships: which part is the workbook, which is each sheet.
struct XlsxRelationships
{
    struct Target
    {
        std::string id, type, path;
    };
    std::vector<Target> targets;

    void startElement(XmlName element)
    {
        if (element.name == "Relationship")
            targets.push_back(std::move(m_next));
        m_next = {};
    }
    void endElement(XmlName) {}
    void characters(std::string_view) {}
    void attribute(XmlName attr, std::string_view value)
    {
        if (attr.name == "Id")
            m_next.id = value;
        else if (attr.name == "Type")
            m_next.type = value;
        else if (attr.name == "Target")
            m_next.path = value;
    }

    const Target *ofType(std::string_view kind) const
    {
        for (const Target &target : targets) {
            const std::size_t slash = target.type.rfind('/');
            if (slash != std::string::npos &&
                std::string_view(target.type).substr(slash + 1) == kind)
                return &target;
        }
        return nullptr;
    }
    const Target *withId(std::string_view id) const
    {
        for (const Target &target : targets) {
            if (target.id == id)
                return &target;
        }
        return nullptr;
    }

private:
    Target m_next;
};

// The workbook: its first sheet (in the order of the tabs) and its date system.
struct XlsxWorkbook
{
    std::optional<std::string> firstSheet;
    bool dates1904 = false;

    void startElement(XmlName element)
    {
        if (element.name == "sheet" && !firstSheet && m_id)
            firstSheet = std::move(*m_id);
        else if (element.name == "workbookPr")
            dates1904 = m_1904;
        m_id.reset();
        m_1904 = false;
    }
    void endElement(XmlName) {}
    void characters(std::string_view) {}
    void attribute(XmlName attr, std::string_view value)
    {
        // r:id, whatever the relationships' namespace is called.
        if (attr.name == "id" && attr.ns != kNoNamespace)
            m_id = std::string(value);
        else if (attr.name == "date1904")
            m_1904 = value == "1" || value == "true";
    }

private:
    std::optional<std::string> m_id;
    bool m_1904 = false;
};

// Whether a number format shows a date: the built-in ones, or a code with a day or a year
// outside its quoted texts and [brackets].
bool isDateCode(std::string_view code);
bool isBuiltInDate(std::size_t id);

// The styles: which cell formats show a date.
struct XlsxStyles
{
    std::vector<bool> dateFormats; // by the cell's style index

    void startElement(XmlName element)
    {
        if (element.name == "numFmt" && m_id)
            m_dateCodes[*m_id] = isDateCode(m_code);
        else if (element.name == "cellXfs")
            m_inCellFormats = true;
        else if (element.name == "xf" && m_inCellFormats) {
            const auto custom = m_id ? m_dateCodes.find(*m_id) : m_dateCodes.end();
            dateFormats.push_back(custom != m_dateCodes.end() ? custom->second
                                                              : m_id && isBuiltInDate(*m_id));
        }
        m_id.reset();
        m_code.clear();
    }
    void endElement(XmlName element)
    {
        if (element.name == "cellXfs")
            m_inCellFormats = false;
    }
    void characters(std::string_view) {}
    void attribute(XmlName attr, std::string_view value)
    {
        if (attr.name == "numFmtId")
            m_id = partIndex(value, 0);
        else if (attr.name == "formatCode")
            m_code = value;
    }

private:
    std::map<std::size_t, bool> m_dateCodes;
    bool m_inCellFormats = false;
    std::optional<std::size_t> m_id;
    std::string m_code;
};

// The largest serial number a date may have: 31 December 9999.
constexpr double kLastDate = 2958465;

// A date's serial number as the sheet shows it: "05/03/2027".
std::string dateText(double serial, bool dates1904);

// An ISO date ("2027-03-05", maybe with a time) as the sheet shows it.
std::string isoDateText(std::string_view iso);

} // namespace velmorin
