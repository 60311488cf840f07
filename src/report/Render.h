#pragma once
#include <string>

#include "report/InfoItem.h"
#include "report/TextPane.h"

namespace sw {


// Renders every entry of aInfos into the pane, one coloured line each, in list order.
// Entries are changed as the rendering rules say (their Value is normalised).
void ShowServiceInfos(TServiceInfos& aInfos, ITextPane& aPane);

}  // namespace sw
