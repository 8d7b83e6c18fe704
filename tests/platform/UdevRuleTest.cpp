#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

// The udev rule opens the dongle to the seat's user: only the dongle's product ids, never every
// hidraw device of the vendor.
TEST(UdevRule, GrantsOnlyTheDonglesProductIds) {
    std::ifstream rules(std::string(HOLLOWMERE_SOURCE_DIR) + "/packaging/60-hollowmere-dongle.rules");
    ASSERT_TRUE(rules.good());
    std::set<std::string> products;
    int grants = 0;
    for (std::string line; std::getline(rules, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        ++grants;
        EXPECT_NE(line.find("TAG+=\"uaccess\""), std::string::npos) << line;
        EXPECT_NE(line.find("ATTRS{idVendor}==\"@HID_VID@\""), std::string::npos) << line;
        const std::string key = "ATTRS{idProduct}==\"";
        const size_t at = line.find(key);
        ASSERT_NE(at, std::string::npos) << line;
        products.insert(line.substr(at + key.size(), 4));
    }
    EXPECT_EQ(grants, 2);
    EXPECT_EQ(products, (std::set<std::string>{"0004", "0006"}));
}
