#pragma once
#include <cstdint>

// Which channels the lists show while the graph is hidden: 25 channels a list, 1, 2 or 4 lists
// side by side (the list-count combo box's index 0, 1 or 2), pages counted up to the highest
// channel in use.
class CListPaging {
public:
    static constexpr int kChannelsPerList = 25;
    static constexpr int kMaxLists = 4;
    // lastone.ini "user" "list-div" when it names nothing.
    static constexpr int kDefaultListCountIndex = 2;

    // Index 0, 1 or 2; anything else is taken as the default. The page goes back to 0.
    void SetListCountIndex(int index);
    int ListCountIndex() const { return m_countIndex; }
    // 1, 2 or 4.
    int ListCount() const { return 1 << m_countIndex; }
    // The page count becomes ceil(highest / 25); the page stays where it is.
    void SetHighestChannel(int highest);

    int Page() const { return m_page; }
    int PageCount() const { return m_pageCount; }
    // The first channel of list i (0-based) on the current page.
    int FirstChannel(int list) const { return (m_page + list) * kChannelsPerList + 1; }

    bool CanGoBack() const { return m_page > 0; }
    bool CanGoForward() const { return ListCount() < m_pageCount && m_page < m_pageCount - ListCount(); }
    // False when the page could not move.
    bool GoBack();
    bool GoForward();

private:
    int m_countIndex = kDefaultListCountIndex;
    int m_page = 0;
    int m_pageCount = 0;
};
