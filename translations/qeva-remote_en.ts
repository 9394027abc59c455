<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AddTimePlayViewController</name>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>删除方案</source>
        <translation>Delete scheme</translation>
    </message>
    <message>
        <source>修改方案</source>
        <translation>Edit scheme</translation>
    </message>
    <message>
        <source>增加方案</source>
        <translation>Add scheme</translation>
    </message>
    <message>
        <source>定时播放方案列表</source>
        <translation>Timed play schemes</translation>
    </message>
    <message>
        <source>文件列表获取中,请稍后!!!</source>
        <translation>Loading the file list, please wait...</translation>
    </message>
    <message>
        <source>请选择需要删除的方案</source>
        <translation>Please choose the schemes to delete</translation>
    </message>
    <message>
        <source>服务器不支持从客户端删除方案</source>
        <translation>The server does not let clients delete schemes</translation>
    </message>
    <message>
        <source>请选择需要修改的方案</source>
        <translation>Please choose the scheme to edit</translation>
    </message>
    <message>
        <source>方案数量已达上限</source>
        <translation>No more schemes can be added</translation>
    </message>
</context>
<context>
    <name>AnimationPushViewController</name>
    <message>
        <source>动画效果</source>
        <translation>Animation effects</translation>
    </message>
    <message>
        <source>重置动画</source>
        <translation>Reset</translation>
    </message>
</context>
<context>
    <name>AnimationViewController</name>
    <message>
        <source>请在以下选择所需的动画互动特效</source>
        <translation>Choose an animation effect below</translation>
    </message>
    <message>
        <source>旋转效果:</source>
        <translation>Rotation:</translation>
    </message>
    <message>
        <source>移动效果:</source>
        <translation>Movement:</translation>
    </message>
    <message>
        <source>场景效果:</source>
        <translation>Scene:</translation>
    </message>
    <message>
        <source>动画效果</source>
        <translation>Animation effects</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>连接中...</source>
        <translation>Connecting...</translation>
    </message>
    <message>
        <source>本地数据库无法写入</source>
        <translation>The local database cannot be written</translation>
    </message>
    <message>
        <source>本次运行的记录只保存在内存中，退出后不保留。</source>
        <translation>This session&apos;s records are kept in memory only and are lost on quitting.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ClockSetViewController</name>
    <message>
        <source>选择设备</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>虚拟时钟</source>
        <translation>Analog clock</translation>
    </message>
    <message>
        <source>数字时钟</source>
        <translation>Digital clock</translation>
    </message>
    <message>
        <source>窗口位置</source>
        <translation>Window position</translation>
    </message>
    <message>
        <source>窗口大小</source>
        <translation>Window size</translation>
    </message>
    <message>
        <source>宽</source>
        <translation>W</translation>
    </message>
    <message>
        <source>高</source>
        <translation>H</translation>
    </message>
    <message>
        <source>是否执行</source>
        <translation>Show it</translation>
    </message>
    <message>
        <source>时钟设定</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>请选择需要设定的设备</source>
        <translation>Please choose the server to set</translation>
    </message>
    <message>
        <source>数值超出范围</source>
        <translation>Value out of range</translation>
    </message>
    <message>
        <source>设置成功</source>
        <translation>Saved</translation>
    </message>
</context>
<context>
    <name>ColorList</name>
    <message>
        <source>黑色</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>白色</source>
        <translation>White</translation>
    </message>
    <message>
        <source>红色</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>黄色</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>灰色</source>
        <translation>Grey</translation>
    </message>
    <message>
        <source>紫色</source>
        <translation>Purple</translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>蓝绿色</source>
        <translation>Cyan</translation>
    </message>
    <message>
        <source>灰黑色</source>
        <translation>Dark grey</translation>
    </message>
    <message>
        <source>亮色</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>绿色</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>透明色</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>亮蓝色</source>
        <translation>Light blue</translation>
    </message>
</context>
<context>
    <name>DeviceSourceViewController</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>文件列表获取中,请稍后!!!</source>
        <translation>Loading the file list, please wait...</translation>
    </message>
    <message>
        <source>添加视频文件</source>
        <translation>Add files</translation>
    </message>
    <message>
        <source>取消全选</source>
        <translation>Select none</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>请选择文件</source>
        <translation>Please choose files</translation>
    </message>
</context>
<context>
    <name>FunctionViewController</name>
    <message>
        <source>视频文件传输</source>
        <translation>Send files</translation>
    </message>
    <message>
        <source>视频播放控制</source>
        <translation>Play control</translation>
    </message>
    <message>
        <source>视频窗体设定</source>
        <translation>Window settings</translation>
    </message>
    <message>
        <source>定时播放设定</source>
        <translation>Timed play</translation>
    </message>
    <message>
        <source>动画互动发送</source>
        <translation>Animations</translation>
    </message>
    <message>
        <source>QEVA服务端窗口</source>
        <translation>QEVA Server Window</translation>
    </message>
</context>
<context>
    <name>HomeViewController</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>QEVLUX客户端</source>
        <translation>QEVLUX Client</translation>
    </message>
    <message>
        <source>已扫描出如下设备,请点击登陆</source>
        <translation>These servers were found. Tap one to log in.</translation>
    </message>
    <message>
        <source>密码验证</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>显示密码</source>
        <translation>Show password</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>视频窗口_</source>
        <translation>Video window </translation>
    </message>
    <message>
        <source>密码不正确</source>
        <translation>Wrong password</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>QEVLUX客户端</source>
        <translation>QEVLUX Client</translation>
    </message>
</context>
<context>
    <name>MediaPicker</name>
    <message>
        <source>图片和视频</source>
        <translation>Pictures and videos</translation>
    </message>
    <message>
        <source>所有文件</source>
        <translation>All files</translation>
    </message>
</context>
<context>
    <name>PhoneAddressViewController</name>
    <message>
        <source>当前使用的地址</source>
        <translation>Address in use</translation>
    </message>
    <message>
        <source>尚未确定</source>
        <translation>Not known yet</translation>
    </message>
    <message>
        <source>自动选择的地址：%1</source>
        <translation>Automatic choice: %1</translation>
    </message>
    <message>
        <source>启动参数已指定本机地址，此设置在下次启动时生效</source>
        <translation>The address was given on the command line; this setting takes effect at the next start without it</translation>
    </message>
    <message>
        <source>指定地址（留空为自动选择）</source>
        <translation>Address to use (empty: automatic)</translation>
    </message>
    <message>
        <source>自动选择</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>指定地址</source>
        <translation>Address to use</translation>
    </message>
    <message>
        <source>恢复自动选择</source>
        <translation>Back to automatic</translation>
    </message>
    <message>
        <source>本机网络接口</source>
        <translation>This machine&apos;s interfaces</translation>
    </message>
    <message>
        <source>没有可用的网络接口</source>
        <translation>No usable network interface</translation>
    </message>
    <message>
        <source>本机地址</source>
        <translation>My address</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>请输入正确的IP地址</source>
        <translation>Please enter a valid IPv4 address</translation>
    </message>
    <message>
        <source>设置成功</source>
        <translation>Saved</translation>
    </message>
</context>
<context>
    <name>PickerSheet</name>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
</context>
<context>
    <name>PlayControlViewController</name>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>上一个</source>
        <translation>Prev</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>下一个</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>更多</source>
        <translation>More</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>音量</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>音量调节</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>音量:</source>
        <translation>Volume:</translation>
    </message>
    <message>
        <source>循环播放</source>
        <translation>Loop</translation>
    </message>
    <message>
        <source>随机播放</source>
        <translation>Shuffle</translation>
    </message>
    <message>
        <source>顺序播放</source>
        <translation>In order</translation>
    </message>
    <message>
        <source>单曲循环</source>
        <translation>Repeat one</translation>
    </message>
    <message>
        <source>目前播放模式为:循环播放</source>
        <translation>Play mode: loop</translation>
    </message>
    <message>
        <source>目前播放模式为:随机播放</source>
        <translation>Play mode: shuffle</translation>
    </message>
    <message>
        <source>目前播放模式为:顺序播放</source>
        <translation>Play mode: in order</translation>
    </message>
    <message>
        <source>目前播放模式为:单曲循环</source>
        <translation>Play mode: repeat one</translation>
    </message>
    <message>
        <source>视频播放控制</source>
        <translation>Play control</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>文件列表获取中,请稍后!!!</source>
        <translation>Loading the file list, please wait...</translation>
    </message>
    <message>
        <source>请确认是否删除所选视频文件?</source>
        <translation>Delete the chosen file?</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>同时删除本地文件</source>
        <translation>Also delete the server&apos;s copy</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>请确认是否清除列表中所有的视频？</source>
        <translation>Remove every file from the list?</translation>
    </message>
</context>
<context>
    <name>PlayFilesViewController</name>
    <message>
        <source>还没有发送过文件</source>
        <translation>No files sent yet</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>视频</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>关闭传输</source>
        <translation>Stop sending</translation>
    </message>
    <message>
        <source>发送文件</source>
        <translation>Send a file</translation>
    </message>
    <message>
        <source>从手机相册选择</source>
        <translation>Choose from the album</translation>
    </message>
    <message>
        <source>文件已被修改或删除，发送失败</source>
        <translation>The file was changed or deleted; it was not sent</translation>
    </message>
    <message>
        <source>视频文件传输</source>
        <translation>Send files</translation>
    </message>
    <message>
        <source>上个文件还未传输完成.</source>
        <translation>The previous file is still being sent.</translation>
    </message>
    <message>
        <source>拍照</source>
        <translation>Take a picture</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>这台设备没有可用的相机</source>
        <translation>This device has no camera to use</translation>
    </message>
    <message>
        <source>无法读取所选的文件</source>
        <translation>The chosen file cannot be read</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>是否立即播放</source>
        <translation>Play it now?</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>请选择需要删除的文件</source>
        <translation>Please choose the files to delete</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
</context>
<context>
    <name>PlayRow</name>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>PlaySelectViewController</name>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>添加文件</source>
        <translation>Add files</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>定时播放方案设定</source>
        <translation>Timed play scheme</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>请选择需要删除的文件</source>
        <translation>Please choose the files to delete</translation>
    </message>
    <message>
        <source>请选择视频文件</source>
        <translation>Please choose video files</translation>
    </message>
</context>
<context>
    <name>PlayWindowSetViewController</name>
    <message>
        <source>   全屏</source>
        <translation>   Full screen</translation>
    </message>
    <message>
        <source>   置顶</source>
        <translation>   On top</translation>
    </message>
    <message>
        <source>窗口位置</source>
        <translation>Window position</translation>
    </message>
    <message>
        <source>窗口大小</source>
        <translation>Window size</translation>
    </message>
    <message>
        <source>宽</source>
        <translation>W</translation>
    </message>
    <message>
        <source>高</source>
        <translation>H</translation>
    </message>
    <message>
        <source>切换方式</source>
        <translation>Transition</translation>
    </message>
    <message>
        <source>切换间隔</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>正常切换</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>旋转效果</source>
        <translation>Rotate</translation>
    </message>
    <message>
        <source>缩放效果</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>从左到右</source>
        <translation>Left to right</translation>
    </message>
    <message>
        <source>从右到左</source>
        <translation>Right to left</translation>
    </message>
    <message>
        <source>从上到下</source>
        <translation>Top to bottom</translation>
    </message>
    <message>
        <source>从下到上</source>
        <translation>Bottom to top</translation>
    </message>
    <message>
        <source>左右交错</source>
        <translation>Interleave sideways</translation>
    </message>
    <message>
        <source>上下交错</source>
        <translation>Interleave vertically</translation>
    </message>
    <message>
        <source>淡入淡出</source>
        <translation>Fade</translation>
    </message>
    <message>
        <source>视频窗体设定</source>
        <translation>Window settings</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>未知效果 (%1)</source>
        <translation>Unknown transition (%1)</translation>
    </message>
    <message>
        <source>请选择需要设定的设备</source>
        <translation>Please choose the server to set</translation>
    </message>
    <message>
        <source>窗口位置不能为负数</source>
        <translation>The window position cannot be negative</translation>
    </message>
    <message>
        <source>数值须在0到65535之间</source>
        <translation>Values must be from 0 to 65535</translation>
    </message>
    <message>
        <source>设置成功</source>
        <translation>Saved</translation>
    </message>
</context>
<context>
    <name>RestartViewController</name>
    <message>
        <source>即时重启</source>
        <translation>Restart now</translation>
    </message>
</context>
<context>
    <name>ScanDeviceViewController</name>
    <message>
        <source>用户名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>停止扫描</source>
        <translation>Stop scanning</translation>
    </message>
    <message>
        <source>扫描服务端设备</source>
        <translation>Scan for servers</translation>
    </message>
    <message>
        <source>QEVLUX客户端</source>
        <translation>QEVLUX Client</translation>
    </message>
    <message>
        <source>本机地址</source>
        <translation>My address</translation>
    </message>
    <message>
        <source>设备退出连接</source>
        <translation>The server ended the connection</translation>
    </message>
    <message>
        <source>正在扫描设备请稍后...</source>
        <translation>Scanning for servers, please wait...</translation>
    </message>
    <message numerus="yes">
        <source>已扫描到%n台设备，正在继续扫描，请稍候...</source>
        <translation>
            <numerusform>Found %n server, still scanning, please wait...</numerusform>
            <numerusform>Found %n servers, still scanning, please wait...</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ScreenFrame</name>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>菜单</source>
        <translation>Menu</translation>
    </message>
</context>
<context>
    <name>ServerOrderPage</name>
    <message>
        <source>选择设备</source>
        <translation>Server</translation>
    </message>
</context>
<context>
    <name>ServerOrderViewController</name>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>请选择需要设定的设备</source>
        <translation>Please choose the server to set</translation>
    </message>
    <message>
        <source>设置成功</source>
        <translation>Saved</translation>
    </message>
</context>
<context>
    <name>SoftInfoViewController</name>
    <message>
        <source>软件信息</source>
        <translation>About</translation>
    </message>
    <message>
        <source>QEVA视频手机客户端 Version 2.2.6</source>
        <translation>QEVA video client Version 2.2.6</translation>
    </message>
    <message>
        <source>      本产品是一款配套QEVA视频播放软件的视频手机客户端，可进行与播放器的视频传输，视频操作，插播文字，界面维护等操作。</source>
        <translation>      This client goes with the QEVA video playback software: it sends videos to the player, controls playback, inserts scrolling text and looks after the display.</translation>
    </message>
</context>
<context>
    <name>SpotWordsViewController</name>
    <message>
        <source>选择设备</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>播放速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>字体大小</source>
        <translation>Font size</translation>
    </message>
    <message>
        <source>文字颜色</source>
        <translation>Text colour</translation>
    </message>
    <message>
        <source>滚动方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>位置设定</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>状态设置是否生效</source>
        <translation>Show it now</translation>
    </message>
    <message>
        <source>插播内容</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>从左往右</source>
        <translation>Left to right</translation>
    </message>
    <message>
        <source>从右往左</source>
        <translation>Right to left</translation>
    </message>
    <message>
        <source>从上往下</source>
        <translation>Top to bottom</translation>
    </message>
    <message>
        <source>从下到上</source>
        <translation>Bottom to top</translation>
    </message>
    <message>
        <source>静止</source>
        <translation>Still</translation>
    </message>
    <message>
        <source>插播文字</source>
        <translation>Scrolling text</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>请输入文字</source>
        <translation>Please enter the text</translation>
    </message>
    <message>
        <source>文字过长</source>
        <translation>The text is too long</translation>
    </message>
    <message>
        <source>数值超出范围</source>
        <translation>Value out of range</translation>
    </message>
    <message>
        <source>设置成功</source>
        <translation>Saved</translation>
    </message>
</context>
<context>
    <name>SystemSetViewController</name>
    <message>
        <source>选择设备</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>亮度</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>默认</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>音量</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>色温设定</source>
        <translation>Colour balance</translation>
    </message>
    <message>
        <source>红色</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>绿色</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>定时重启</source>
        <translation>Daily restart</translation>
    </message>
    <message>
        <source>免登录</source>
        <translation>No login</translation>
    </message>
    <message>
        <source>单独开关屏</source>
        <translation>Screen switch</translation>
    </message>
    <message>
        <source>重启时间</source>
        <translation>Restart time</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>背景颜色设定</source>
        <translation>Background colour</translation>
    </message>
    <message>
        <source>视频源切换</source>
        <translation>Video source</translation>
    </message>
    <message>
        <source>屏幕旋转角度</source>
        <translation>Screen rotation</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>A20</source>
        <translation>A20</translation>
    </message>
    <message>
        <source>HDMI</source>
        <translation>HDMI</translation>
    </message>
    <message>
        <source>0°</source>
        <translation>0°</translation>
    </message>
    <message>
        <source>90°</source>
        <translation>90°</translation>
    </message>
    <message>
        <source>180°</source>
        <translation>180°</translation>
    </message>
    <message>
        <source>270°</source>
        <translation>270°</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>System settings</translation>
    </message>
    <message>
        <source>请选择需要设定的设备</source>
        <translation>Please choose the server to set</translation>
    </message>
    <message>
        <source>设置成功</source>
        <translation>Saved</translation>
    </message>
    <message>
        <source>设置失败</source>
        <translation>Not saved</translation>
    </message>
    <message>
        <source>未收到设备设置，请稍后再试</source>
        <translation>The server&apos;s settings have not arrived yet; please try again</translation>
    </message>
</context>
<context>
    <name>SystemViewController</name>
    <message>
        <source>关闭菜单</source>
        <translation>Close the menu</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>System settings</translation>
    </message>
    <message>
        <source>即时重启</source>
        <translation>Restart now</translation>
    </message>
    <message>
        <source>窗口设置</source>
        <translation>Windows</translation>
    </message>
    <message>
        <source>插播文字</source>
        <translation>Scrolling text</translation>
    </message>
    <message>
        <source>时钟设置</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>时间校正</source>
        <translation>Time correction</translation>
    </message>
    <message>
        <source>语言版本</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>软件信息</source>
        <translation>About</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>Follow the system</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>中文 (Chinese)</translation>
    </message>
    <message>
        <source>英文 (English)</source>
        <translation>English</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>设置成功</source>
        <translation>Saved</translation>
    </message>
</context>
<context>
    <name>TimeCorrectionViewController</name>
    <message>
        <source>时间校正</source>
        <translation>Time correction</translation>
    </message>
</context>
<context>
    <name>TimePlayWordsViewController</name>
    <message>
        <source>滚动文字</source>
        <translation>Scrolling text</translation>
    </message>
    <message>
        <source>请输入文字</source>
        <translation>Please enter the text</translation>
    </message>
    <message>
        <source>播放速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>字体大小</source>
        <translation>Font size</translation>
    </message>
    <message>
        <source>文字颜色</source>
        <translation>Text colour</translation>
    </message>
    <message>
        <source>滚动方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>位置设定</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>状态设置是否生效</source>
        <translation>Show it now</translation>
    </message>
    <message>
        <source>从左往右</source>
        <translation>Left to right</translation>
    </message>
    <message>
        <source>从右往左</source>
        <translation>Right to left</translation>
    </message>
    <message>
        <source>从上往下</source>
        <translation>Top to bottom</translation>
    </message>
    <message>
        <source>从下到上</source>
        <translation>Bottom to top</translation>
    </message>
    <message>
        <source>静止</source>
        <translation>Still</translation>
    </message>
    <message>
        <source>定时播放方案设定</source>
        <translation>Timed play scheme</translation>
    </message>
    <message>
        <source>下一步</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>播放速度和字体大小应在0到255之间</source>
        <translation>Speed and font size must be from 0 to 255</translation>
    </message>
    <message>
        <source>位置应在0到65535之间</source>
        <translation>The position must be from 0 to 65535</translation>
    </message>
    <message>
        <source>文字过长</source>
        <translation>The text is too long</translation>
    </message>
    <message>
        <source>方案参数有误</source>
        <translation>The scheme&apos;s settings are wrong</translation>
    </message>
</context>
<context>
    <name>TimingPlayViewController</name>
    <message>
        <source>方案名称</source>
        <translation>Scheme name</translation>
    </message>
    <message>
        <source>时钟</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>虚拟时钟</source>
        <translation>Analog clock</translation>
    </message>
    <message>
        <source>数字时钟</source>
        <translation>Digital clock</translation>
    </message>
    <message>
        <source>时钟位置:</source>
        <translation>Clock position:</translation>
    </message>
    <message>
        <source>X轴:</source>
        <translation>X:</translation>
    </message>
    <message>
        <source>Y轴:</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>时钟大小:</source>
        <translation>Clock size:</translation>
    </message>
    <message>
        <source>宽度</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>高度</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>播放日期</source>
        <translation>Dates</translation>
    </message>
    <message>
        <source>播放时间</source>
        <translation>Times</translation>
    </message>
    <message>
        <source>添加日期</source>
        <translation>Add dates</translation>
    </message>
    <message>
        <source>清空日期</source>
        <translation>Clear dates</translation>
    </message>
    <message>
        <source>定时播放方案设定</source>
        <translation>Timed play scheme</translation>
    </message>
    <message>
        <source>下一步</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>请填写方案名称</source>
        <translation>Please enter a scheme name</translation>
    </message>
    <message>
        <source>请添加日期</source>
        <translation>Please add dates</translation>
    </message>
    <message>
        <source>时钟位置和大小应在0到65535之间</source>
        <translation>The clock&apos;s position and size must be from 0 to 65535</translation>
    </message>
    <message>
        <source>方案名称或日期过长</source>
        <translation>The scheme name or dates are too long</translation>
    </message>
</context>
<context>
    <name>WindowSetViewController</name>
    <message>
        <source>选择设备</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>窗口列表</source>
        <translation>Windows</translation>
    </message>
    <message>
        <source>新增窗口</source>
        <translation>Add window</translation>
    </message>
    <message>
        <source>关闭窗口</source>
        <translation>Close window</translation>
    </message>
    <message>
        <source>视频窗口_</source>
        <translation>Video window </translation>
    </message>
    <message>
        <source>窗口设置</source>
        <translation>Windows</translation>
    </message>
    <message>
        <source>请选择需要设定的设备</source>
        <translation>Please choose the server to set</translation>
    </message>
    <message>
        <source>新增窗口中...</source>
        <translation>Adding a window...</translation>
    </message>
    <message>
        <source>请选择需要关闭的窗口</source>
        <translation>Please choose the windows to close</translation>
    </message>
    <message>
        <source>关闭窗口中...</source>
        <translation>Closing windows...</translation>
    </message>
</context>
</TS>
