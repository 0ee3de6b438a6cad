//# allFunctionsCalledOnLoad
// (Put before the module's code, that line has Chromium compile every
// function of it as the file comes, not each at its first call.)
