import Qeva

// Restart now: "完成" restarts the chosen server at once.
ServerOrderPage {}
