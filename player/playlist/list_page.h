// The play list page "\html\List.html" and the store "\data\Data.dat", as bytes in the ANSI code
// page. The page is assembled from four fixed templates in one pass over the entries.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kam::playlist {

// The page a new list control shows before any list is handed to it.
std::string EmptyListPageBytes();

// The page for the list: the last entry's title as the heading, one link per entry numbered
// from 0. Nothing when an entry has fewer than three fields. Texts are HTML-escaped: they come
// from web pages, and unescaped they could add markup and script to a page the engine runs as a
// local file. The store keeps them as they are.
std::optional<std::string> ListPageBytes(const std::vector<std::string>& list,
                                         std::string_view separator);

// The store: every entry between "<Item>" and "</Item>", one per line, then an empty line.
std::string StoreBytes(const std::vector<std::string>& list);

}  // namespace kam::playlist
