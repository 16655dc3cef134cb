// SPDX-License-Identifier: MIT
#include "output/list_formats.h"

#include <array>

namespace doze {
namespace {

constexpr std::array<ListFormatInfo, 5> kFormats{{
    {ListFormat::Text, "text", "Save as plain text", "Text Files (*.txt)|*.txt", WriteTextList,
     false},
    {ListFormat::Html, "html", "Save as HTML", "HTML Files (*.html)|*.html", WriteHtmlList, false},
    {ListFormat::Csv, "csv", "Save as CSV", "CSV Files (*.csv)|*.csv", WriteCsvList, true},
    {ListFormat::Json, "json", "Save as JSON", "JSON Files (*.json)|*.json", WriteJsonList, true},
    {ListFormat::Catalog, "catalog", "Save as catalogue page", "HTML Files (*.html)|*.html",
     WriteCatalogList, true},
}};

}  // namespace

std::span<const ListFormatInfo> ListFormats() {
    return kFormats;
}

const ListFormatInfo& FormatInfo(ListFormat format) {
    for (const ListFormatInfo& info : kFormats) {
        if (info.id == format) return info;
    }
    return kFormats[0];
}

const ListFormatInfo* FindFormat(std::string_view option) {
    for (const ListFormatInfo& info : kFormats) {
        if (option == info.option) return &info;
    }
    return nullptr;
}

}  // namespace doze
