// The texts of clipboard exchange, copying and moving cells, sorting, and find and replace.
#pragma once

void GXRegisterExchangeStrings();
