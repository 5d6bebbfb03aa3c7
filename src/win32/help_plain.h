#pragma once
// The shared help text (HTML) as plain text for the help window: headings
// and paragraphs on lines of their own, numbered and bulleted list items,
// tags dropped and the five standard entities decoded. UTF-8 in and out.

#include <string>
#include <string_view>

std::string HtmlToPlain(std::string_view html);
