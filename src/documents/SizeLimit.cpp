#include "documents/SizeLimit.h"

#include "documents/SizeText.h"

bool ExceedsSizeLimit(const QString &panelText)
{
    return SizeFromPanelText(panelText) > 5.0;
}
