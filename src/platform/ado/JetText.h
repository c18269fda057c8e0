#pragma once
// Text rules of the old database engine, private to the ado layer: how texts
// compare and sort, and how Like matches.
//
// Order and equality: letters compare without regard to case, and accented
// letters sort with their base letter ("Ação" between "Acao" and "Acb"); when
// two texts differ only in accents the unaccented one comes first; texts that
// differ only in case are equal. Other characters compare by code point.
// Covers the Latin-1 letters (all Portuguese ones).
//
// Like: "%" and "*" match any run of characters, "_" and "?" exactly one;
// letters match without regard to case (accents do count); a pattern without
// wildcards is a case-insensitive equality.

#include <string>
#include <string_view>

namespace ado::detail {

std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);
bool IsValidUtf8(std::string_view bytes);

// Windows-1252 (the code page of the files the old system wrote) to and from
// UTF-8; characters without a place in the code page become "?".
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view text);

char32_t FoldCase(char32_t c);
char32_t BaseLetter(char32_t c);

// <0, 0, >0 as `a` sorts before, with or after `b`.
int JetCompare(std::string_view a, std::string_view b);
bool JetEquals(std::string_view a, std::string_view b);
bool JetLike(std::string_view text, std::string_view pattern);

// Case-insensitive (accent-sensitive) equality, for names of fields, tables and keys.
bool SameName(std::string_view a, std::string_view b);

// Keywords and connection keys are ASCII: only a-z change, every other byte
// (the UTF-8 of accented letters included) stays as it is.
std::string AsciiUpper(std::string_view s);

}  // namespace ado::detail
