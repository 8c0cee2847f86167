#pragma once
// The printer settings shared by Print Setup, printing and print preview.
class QPrinter;
QPrinter& AppPrinter();
