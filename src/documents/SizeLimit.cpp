#include "documents/SizeLimit.h"

#include "app/SizeText.h"

bool ExceedsSizeLimit(const QString &panelText)
{
    return SizeFromPanelText(panelText) > 5.0;
}
