// CSkinControlUnit: the record of one unit of a skin control panel.
#include "SkinMagicExU.h"

#ifndef _WIN64
static_assert(sizeof(CSkinControlUnit) == 92, "23 fields of 32 bits in the 32-bit build");
#endif

CSkinControlUnit::CSkinControlUnit()
    : m_nImage(-1), m_nWidth(512), m_nHeightMargin(5), m_nID(0), m_nStyle(0), m_nIndent(0),
      m_nSpaceX(2), m_nSpaceY(2), m_rcUnit{0, 0, 0, 0}, m_clrBack(::GetSysColor(COLOR_WINDOW)),
      m_nState(0), m_bFixedSize(0), m_nReserved(0), m_nUserData(0) {
    // m_rcText (fields 13 to 16) is left as it is: the panel sets it when it
    // lays the unit out.
}

CSkinControlUnit::CSkinControlUnit(const CSkinControlUnit& src)
    : m_nImage(src.m_nImage), m_nWidth(src.m_nWidth), m_nHeightMargin(src.m_nHeightMargin),
      m_nID(src.m_nID), m_nStyle(src.m_nStyle), m_nIndent(src.m_nIndent), m_nSpaceX(src.m_nSpaceX),
      m_nSpaceY(src.m_nSpaceY), m_rcUnit(src.m_rcUnit), m_rcText(src.m_rcText),
      m_strText(src.m_strText), m_strTip(src.m_strTip), m_clrBack(src.m_clrBack),
      m_nState(src.m_nState), m_bFixedSize(src.m_bFixedSize), m_nReserved(src.m_nReserved),
      m_nUserData(src.m_nUserData) {}

CSkinControlUnit& CSkinControlUnit::operator=(const CSkinControlUnit& src) {
    if (this == &src)
        return *this;
    m_nImage = src.m_nImage;
    m_nWidth = src.m_nWidth;
    m_nHeightMargin = src.m_nHeightMargin;
    m_nID = src.m_nID;
    m_nStyle = src.m_nStyle;
    m_nIndent = src.m_nIndent;
    m_nSpaceX = src.m_nSpaceX;
    m_nSpaceY = src.m_nSpaceY;
    m_rcUnit = src.m_rcUnit;
    m_rcText = src.m_rcText;
    m_strText = src.m_strText;
    m_strTip = src.m_strTip;
    m_clrBack = src.m_clrBack;
    m_nState = src.m_nState;
    m_bFixedSize = src.m_bFixedSize;
    m_nReserved = src.m_nReserved;
    m_nUserData = src.m_nUserData;
    return *this;
}

CSkinControlUnit::~CSkinControlUnit() = default;

_tagMSGBOXTEXT::_tagMSGBOXTEXT()
    : strOK(L"OK"), strCancel(L"Cancel"), strYes(L"Yes(&Y)"), strNo(L"No(&N)"),
      strAbort(L"Abort(&A)"), strRetry(L"Retry(&R)"), strContinue(L"Continue(&C)"),
      strTryAgain(L"Ryagain(&T)"), strIgnore(L"Ignore(&I)"), strHelp(L"Help(&H)"),
      strClose(L"Close(&Q)"), strSeconds(L"Seconds") {}
