#include "display/ListPaging.h"

void CListPaging::SetListCountIndex(int index) {
    m_countIndex = index >= 0 && index <= 2 ? index : kDefaultListCountIndex;
    m_page = 0;
}

void CListPaging::SetHighestChannel(int highest) {
    m_pageCount = highest > 0 ? (highest + kChannelsPerList - 1) / kChannelsPerList : 0;
}

bool CListPaging::GoBack() {
    if (!CanGoBack())
        return false;
    --m_page;
    return true;
}

bool CListPaging::GoForward() {
    if (!CanGoForward())
        return false;
    ++m_page;
    return true;
}
