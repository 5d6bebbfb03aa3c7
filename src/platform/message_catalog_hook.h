#pragma once
// Between the portable Tr and each system's catalog: the function that looks
// a text up, set when a catalog is bound.

using CTranslate = const char* (*)(const char* text);

void SetTranslate(CTranslate translate);
