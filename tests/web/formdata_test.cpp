#include "web/formdata.h"

#include <gtest/gtest.h>

namespace tarvel::web {
namespace {

TEST(FormDataTest, Decoding)
{
    struct Case {
        std::string_view in;
        std::string out;
    };
    const Case cases[] = {
        {"a+b", "a b"}, {"%E5%B1%B1", "山"},  {"%e5%b1%b1", "山"}, {"100%", "100%"}, {"%4", "%4"},
        {"%zz", "%zz"}, {"%2e%2e%2f", "../"}, {"%252e", "%2e"}, // decoded once only
    };
    for (const Case& c : cases)
        EXPECT_EQ(percentDecode(c.in), c.out) << c.in;
    EXPECT_EQ(percentDecode(percentEncode("所属 A&B=C/..")), "所属 A&B=C/..");
    EXPECT_EQ(percentEncode("a b/山"), "a%20b%2F%E5%B1%B1");
}

TEST(FormDataTest, FieldsQueriesCookiesAndNumbers)
{
    const FormFields form = parseUrlEncoded("id=1&&id=2&csrf=x%3Dy&flag&=z");
    EXPECT_EQ(fieldValues(form, "id"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(fieldValue(form, "csrf"), "x=y");
    EXPECT_EQ(fieldValue(form, "flag"), "");
    EXPECT_EQ(fieldValue(form, "none"), std::nullopt);

    HttpRequest request;
    request.target = "/team?a=%E5%B1%B1&b";
    request.headers = {{"cookie", "x=1; tarvel_team = abc ;y=2"},
                       {"content-type", "Application/X-WWW-Form-Urlencoded; charset=UTF-8"}};
    request.body = "code=12";
    EXPECT_EQ(targetPath(request), "/team");
    EXPECT_EQ(fieldValue(queryOf(request), "a"), "山");
    EXPECT_EQ(cookieValue(request, "tarvel_team"), "abc");
    EXPECT_EQ(cookieValue(request, "tarvel"), std::nullopt);
    EXPECT_EQ(fieldValue(formOf(request), "code"), "12");
    request.headers[1].second = "text/plain";
    EXPECT_TRUE(formOf(request).empty());

    for (const std::string_view bad : {"", "+1", "-1", "1e3", "12a", " 1", "1234567890123456789"})
        EXPECT_EQ(wholeNumber(bad), std::nullopt) << bad;
    EXPECT_EQ(wholeNumber("007"), 7);
    EXPECT_EQ(wholeNumber("123456789012345678"), 123456789012345678LL);
}

} // namespace
} // namespace tarvel::web
