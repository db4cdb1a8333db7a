// Window icons of both programs: the icon of an .ico file, or a built-in one when the file holds
// none.
#pragma once

#include <QIcon>
#include <filesystem>

namespace kam {

// Every image of the file's first icon (all its sizes); a null icon when the file is missing,
// empty or holds no icon.
QIcon LoadIconFromFile(const std::filesystem::path& path);

// A plain icon drawn by code: a light play triangle on a dark rounded square, 16 to 256 pixels.
QIcon BuiltInIcon();

// LoadIconFromFile, or fallback when the file gives none.
QIcon IconFromFileOr(const std::filesystem::path& path, const QIcon& fallback);

}  // namespace kam
