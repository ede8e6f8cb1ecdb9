// The simulated product behind a pseudo-terminal of its own (product-on-pty),
// for one test: started with a scenario in the test's folder, ended with the
// test. The program under test opens Port() as a serial port.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class ProductOnPty {
public:
    // Waits until the port is ready; raises when it never is.
    explicit ProductOnPty(const std::filesystem::path& folder, std::string_view scenario = {},
                          const std::string& name = "product");
    ~ProductOnPty();
    ProductOnPty(const ProductOnPty&) = delete;
    ProductOnPty& operator=(const ProductOnPty&) = delete;

    const std::string& Port() const { return m_port; }
    // The image that the product accepted; absent until it accepts a header.
    std::filesystem::path ImagePath() const { return m_image; }
    // The port's settings as the product read them, each time they changed:
    // "settings 100000 8N1 raw no-flow-control".
    std::vector<std::string> Settings() const;

private:
    std::vector<std::string> OutputLines() const;

    std::filesystem::path m_output;
    std::filesystem::path m_image;
    std::string m_port;
    int m_process = -1;
};
